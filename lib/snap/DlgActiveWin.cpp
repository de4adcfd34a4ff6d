#include "lib/snap/DlgActiveWin.h"

#include "lib/res/resource.h"
#include "lib/snap/ProgramWindows.h"

IMPLEMENT_DYNAMIC(CDlgActiveWin, CDialog)

BEGIN_MESSAGE_MAP(CDlgActiveWin, CDialog)
ON_LBN_SELCHANGE(IDC_WND_LIST, OnSelChangeWndList)
ON_LBN_DBLCLK(IDC_WND_LIST, OnDblClkWndList)
END_MESSAGE_MAP()

CDlgActiveWin::CDlgActiveWin(CWnd* pParent) : CDialog(IDD_ACTIVE_WIN, pParent) {}

CDlgActiveWin::~CDlgActiveWin() = default;

void CDlgActiveWin::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WND_LIST, m_listWnd);
}

BOOL CDlgActiveWin::OnInitDialog() {
    CDialog::OnInitDialog();
    CProgramWindowList list;
    list.Build();
    // The last entry, the lowest program window of the z-order, is left out.
    for (int i = 0; i + 1 < list.nCount; ++i) {
        int item = m_listWnd.InsertString(-1, list.entries[static_cast<size_t>(i)].strTitle);
        if (item >= 0)
            m_listWnd.SetItemData(
                item, reinterpret_cast<DWORD_PTR>(list.entries[static_cast<size_t>(i)].hWnd));
    }
    m_listWnd.SetCurSel(0);
    return TRUE;
}

void CDlgActiveWin::OnSelChangeWndList() {
    int sel = m_listWnd.GetCurSel();
    if (sel < 0) return;
    HWND h = reinterpret_cast<HWND>(m_listWnd.GetItemData(sel));
    if (h) ::SetForegroundWindow(h);
}

void CDlgActiveWin::OnDblClkWndList() {
    if (m_listWnd.GetCurSel() >= 0) OnOK();
}

void CDlgActiveWin::OnOK() {
    int sel = m_listWnd.GetCurSel();
    if (sel >= 0) {
        m_hSelWnd = reinterpret_cast<HWND>(m_listWnd.GetItemData(sel));
        m_listWnd.GetText(sel, m_strWndTitle);
    }
    CDialog::OnOK();
}
