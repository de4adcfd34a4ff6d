#include "framework/DataExchange.h"
#include "app/main/PeltoDlg.h"

#include "app/main/PeltoApp.h"
#include "app/main/ProgramActions.h"
#include "app/pin/PinWnd.h"
#include "app/res/resource.h"
#include "framework/Gdi.h"

BEGIN_MESSAGE_MAP(CPeltoDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_WM_SETCURSOR()
ON_WM_DESTROY()
ON_WM_HOTKEY()
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
ON_MESSAGE(WM_TRAYNOTIFY, OnTrayNotify)
ON_COMMAND(ID_NEW_SNAP, OnNewSnap)
ON_COMMAND(ID_SNAP_FULLSCREEN, OnSnapFullScreen)
ON_COMMAND(ID_SNAP_ACTIVE_WIN, OnSnapActiveWin)
ON_COMMAND(ID_SNAP_CURRENT_WIN, OnSnapCurrentWin)
ON_COMMAND(ID_SNAP_WIN_CLIENT, OnSnapWinClient)
ON_COMMAND(ID_SNAP_WIN_OBJ, OnSnapWinObj)
ON_COMMAND(ID_SNAP_SELECT_RECT, OnSnapSelectRect)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
ON_COMMAND(ID_FILE_SAVE, OnFileSave)
ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
ON_COMMAND(ID_FILE_SAVE_THUMB, OnFileSaveThumb)
ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
ON_COMMAND(ID_FILE_PAGE_SETUP, OnFilePageSetup)
ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
ON_COMMAND(ID_EDIT_COPY_THUMB, OnEditCopyThumb)
ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
ON_COMMAND(ID_EDIT_IMAGE, OnEditImage)
ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
ON_COMMAND(ID_EDIT_PIN, OnEditPin)
ON_COMMAND_RANGE(ID_OPT_GRAYSCALE, ID_OPT_NEGATE, OnEffectMenu)
ON_COMMAND_RANGE(ID_OPT_FLIP_HORZ, ID_OPT_SHARPEN, OnEffectMenu)
ON_BN_CLICKED(IDC_GRAYSCALE, OnEffectCheckBox)
ON_BN_CLICKED(IDC_NEGATE, OnEffectCheckBox)
ON_BN_CLICKED(IDC_FLIP_HORZ, OnEffectCheckBox)
ON_BN_CLICKED(IDC_FLIP_VERT, OnEffectCheckBox)
ON_BN_CLICKED(IDC_ROTATE, OnEffectCheckBox)
ON_BN_CLICKED(IDC_SCALE, OnEffectCheckBox)
ON_BN_CLICKED(IDC_SHEAR_ACROSS, OnEffectCheckBox)
ON_BN_CLICKED(IDC_SHEAR_DOWN, OnEffectCheckBox)
ON_BN_CLICKED(IDC_BLUR, OnEffectCheckBox)
ON_BN_CLICKED(IDC_SHARPEN, OnEffectCheckBox)
ON_COMMAND(ID_OPT_AUTO_COPY, OnAutoCopy)
ON_COMMAND(ID_OPT_SETTINGS, OnSettings)
ON_COMMAND(ID_HELP_HOME_PAGE, OnHomePage)
ON_CONTROL(STN_CLICKED, IDC_PREVIEW, OnHomePage)
ON_COMMAND(ID_HELP_CHECK_UPDATE, OnCheckUpdate)
ON_COMMAND(ID_HELP_BUTTON, OnHelpButton)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_SHOW_HIDE, OnShowHide)
ON_UPDATE_COMMAND_UI(ID_SNAP_FULLSCREEN, OnUpdateSnapMode)
ON_UPDATE_COMMAND_UI(ID_SNAP_ACTIVE_WIN, OnUpdateSnapMode)
ON_UPDATE_COMMAND_UI(ID_SNAP_CURRENT_WIN, OnUpdateSnapMode)
ON_UPDATE_COMMAND_UI(ID_SNAP_WIN_CLIENT, OnUpdateSnapMode)
ON_UPDATE_COMMAND_UI(ID_SNAP_WIN_OBJ, OnUpdateSnapMode)
ON_UPDATE_COMMAND_UI(ID_SNAP_SELECT_RECT, OnUpdateSnapMode)
ON_UPDATE_COMMAND_UI(ID_OPT_GRAYSCALE, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_NEGATE, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_FLIP_HORZ, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_FLIP_VERT, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_ROTATE, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_SCALE, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_SHEAR_ACROSS, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_SHEAR_DOWN, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_BLUR, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_SHARPEN, OnUpdateEffect)
ON_UPDATE_COMMAND_UI(ID_OPT_AUTO_COPY, OnUpdateAutoCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_PIN, OnUpdateNeedsImage)
END_MESSAGE_MAP()

namespace {
const wchar_t* const kSnapTypeNames[] = {L"整个屏幕",       L"活动程序窗口",  L"当前窗口",
                                         L"活动程序客户区", L"界面对象/菜单", L"选定区域"};
}  // namespace

CPeltoDlg::CPeltoDlg(CWnd* pParent)
    : CDialog(IDD_PELTO_DIALOG, pParent),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))),
      m_hLinkCursor(::LoadCursorW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_LINK_CURSOR))) {
}

CPeltoDlg::~CPeltoDlg() {
    // A window still open here (an aborted run) must not outlive the members its handlers use.
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    if (m_hPlaceholder) ::DeleteObject(m_hPlaceholder);
}

void CPeltoDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_SNAP_TYPE, m_nSnapType);
    DDX_Control(pDX, IDC_PREVIEW, m_wndPreview);
    DDX_Check(pDX, IDC_GRAYSCALE, m_bGrayScale);
    DDX_Check(pDX, IDC_NEGATE, m_bNegate);
    DDX_Check(pDX, IDC_SCALE, m_bScale);
    DDX_Check(pDX, IDC_ROTATE, m_bRotate);
    DDX_Check(pDX, IDC_FLIP_HORZ, m_bFlipHorz);
    DDX_Check(pDX, IDC_FLIP_VERT, m_bFlipVert);
    DDX_Check(pDX, IDC_SHEAR_DOWN, m_bShearDown);
    DDX_Check(pDX, IDC_SHEAR_ACROSS, m_bShearAcross);
    DDX_Check(pDX, IDC_BLUR, m_bBlur);
    DDX_Check(pDX, IDC_SHARPEN, m_bSharpen);
}

BOOL CPeltoDlg::OnInitDialog() {
    // The selector's items come first, so that the data exchange finds the one to select.
    for (const wchar_t* name : kSnapTypeNames)
        SendDlgItemMessageW(m_hWnd, IDC_SNAP_TYPE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    CDialog::OnInitDialog();

    if (HMENU hSysMenu = ::GetSystemMenu(m_hWnd, FALSE)) {
        wchar_t about[128] = L"";
        ::LoadStringW(::GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 128);
        if (about[0]) {
            ::AppendMenuW(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(hSysMenu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    m_hPlaceholder = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                       MAKEINTRESOURCEW(IDB_PLACEHOLDER),
                                                       IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (m_toolTip.Create(m_hWnd)) {
        m_toolTip.Activate(TRUE);
        m_toolTip.AddTool(m_hWnd, m_wndPreview.m_hWnd, L"点击访问Noram软件官网");
    }

    m_core.InitSnapper(this, &m_wndPreview);
    RegisterHotkeys(FALSE);

    // Centre on the primary screen's work area.
    CRect rc;
    GetWindowRect(&rc);
    RECT work = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int x = work.left + ((work.right - work.left) - rc.Width()) / 2;
    int y = work.top + ((work.bottom - work.top) - rc.Height()) / 2;
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The stored choice wins over the template's topmost style.
    ::SetWindowPos(m_hWnd, m_core.m_config.GetKeepOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0,
                   0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    m_nSnapType = m_core.m_config.GetSnapMode();
    SyncEffectOptions(FALSE);
    UpdateData(FALSE);
    SetWindowText(m_core.m_config.GetAppName());

    if (!m_trayIcon.Create(this, IDR_TRAY_MENU, m_core.m_config.GetAppName(), &m_hIcon, 1, 1000,
                           WM_TRAYNOTIFY)) {
        AfxMessageBox(L"错误：创建系统图标失败！", MB_OK | MB_ICONERROR);
        return TRUE;
    }
    if (theApp.m_bHasUpdate) SetDlgItemText(ID_HELP_BUTTON, L"有更新");
    return TRUE;
}

BOOL CPeltoDlg::PreTranslateMessage(MSG* pMsg) {
    m_toolTip.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

void CPeltoDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        RunAboutBox();
        return;
    }
    if (nID == SC_MINIMIZE) {
        ShowWindow(SW_HIDE);
        return;
    }
    DefWindowProc(WM_SYSCOMMAND, nID, lParam);
}

void CPeltoDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        CRect rc;
        GetClientRect(&rc);
        int cx = ::GetSystemMetrics(SM_CXICON);
        int cy = ::GetSystemMetrics(SM_CYICON);
        ::DrawIcon(dc.GetSafeHdc(), (rc.Width() - cx + 1) / 2, (rc.Height() - cy + 1) / 2, m_hIcon);
        return;
    }
    DefWindowProc(WM_PAINT, 0, 0);
    DrawPreview(FALSE);
}

HCURSOR CPeltoDlg::OnQueryDragIcon() { return m_hIcon; }

BOOL CPeltoDlg::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
    if (pWnd && m_wndPreview.m_hWnd && pWnd->m_hWnd == m_wndPreview.m_hWnd && m_hLinkCursor) {
        ::SetCursor(m_hLinkCursor);
        return TRUE;
    }
    return static_cast<BOOL>(DefWindowProc(WM_SETCURSOR,
                                           reinterpret_cast<WPARAM>(pWnd ? pWnd->m_hWnd : nullptr),
                                           MAKELPARAM(nHitTest, message)));
}

void CPeltoDlg::OnDestroy() {
    DefWindowProc(WM_DESTROY, 0, 0);
    m_core.CloseSnapper();
    RegisterHotkeys(TRUE);
    if (m_hPlaceholder) {
        ::DeleteObject(m_hPlaceholder);
        m_hPlaceholder = nullptr;
    }
    m_trayIcon.RemoveIcon();
    CPinWnd::CloseAll();
}

LRESULT CPeltoDlg::OnKickIdle(WPARAM, LPARAM) {
    UpdateDialogControls(this, this, TRUE);
    UpdateMenuCmdUI(::GetMenu(m_hWnd), this);
    return 0;
}

LRESULT CPeltoDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    // A dialog of ours is open over the main window (the options sheet, the update dialog,
    // About): the icon's menu and double click would start a second one inside it, and the
    // options would put the hot keys back while the first sheet still holds them. A click brings
    // the open dialog forward instead.
    if (!::IsWindowEnabled(m_hWnd)) {
        const UINT nMouse = LOWORD(lParam);
        if (nMouse == WM_RBUTTONUP || nMouse == WM_LBUTTONDBLCLK) {
            HWND hPopup = ::GetLastActivePopup(m_hWnd);
            if (hPopup && hPopup != m_hWnd) ::SetForegroundWindow(hPopup);
        }
        return 0;
    }
    return m_trayIcon.OnTrayNotification(wParam, lParam);
}

void CPeltoDlg::RepaintWindow() {
    CRect rc;
    GetClientRect(&rc);
    InvalidateRect(&rc, TRUE);
}
