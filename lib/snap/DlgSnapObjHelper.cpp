#include "lib/snap/DlgSnapObjHelper.h"

#include "lib/res/resource.h"
#include "lib/snap/ProgramWindows.h"

IMPLEMENT_DYNAMIC(CDlgSnapObjHelper, CDialog)

BEGIN_MESSAGE_MAP(CDlgSnapObjHelper, CDialog)
ON_WM_MOUSEMOVE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

CDlgSnapObjHelper::CDlgSnapObjHelper(CWnd* pParent) : CDialog(IDD_SNAP_OBJ_HELPER, pParent) {}

CDlgSnapObjHelper::~CDlgSnapObjHelper() = default;

void CDlgSnapObjHelper::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SNAP_OBJ_TIP, m_editTip);
}

BOOL CDlgSnapObjHelper::OnInitDialog() {
    CDialog::OnInitDialog();
    m_editTip.SetSourceWnd(CSnapTipEdit::GetDesktopSource(), TRUE);
    CRect screen;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    m_nWidth = 220;
    m_nHeight = 253;
    // Bottom-right, 10 pixels from both edges of the screen.
    MoveWindow(screen.right - m_nWidth - 10, screen.bottom - m_nHeight - 10, m_nWidth, m_nHeight);
    CRect client;
    GetClientRect(&client);
    if (m_editTip.m_hWnd) m_editTip.MoveWindow(client);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return TRUE;
}

void CDlgSnapObjHelper::DrawTipWindow() {
    if (!m_editTip.m_hWnd) return;
    CPoint pt;
    ::GetCursorPos(&pt);
    CString text;
    text.Format(L"·坐标(X:%d, Y:%d)\r\n", static_cast<int>(pt.x), static_cast<int>(pt.y));
    text += L"·左键点击截取图像\r\n·点击右键退出";
    m_editTip.SetWindowText(text);
    m_editTip.Invalidate(TRUE);
}

void CDlgSnapObjHelper::OnMouseMove(UINT nFlags, CPoint point) {
    DrawTipWindow();
    if (m_bActivateTop) {
        // The first move of a pick hands the foreground back to the program window on top, so
        // that the pick sees the desktop as the user left it.
        CProgramWindowList list;
        list.Build();
        if (list.nCount > 0 && list.entries[0].hWnd) ::SetForegroundWindow(list.entries[0].hWnd);
        m_bActivateTop = FALSE;
    }
    DefWindowProc(WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y));
}

void CDlgSnapObjHelper::OnDestroy() {
    DefWindowProc(WM_DESTROY, 0, 0);
    m_bActivateTop = TRUE;
}
