#include "tests/app/main/AppTestSupport.h"

#include "lib/codec/GdiplusHeaders.h"

#include "app/res/resource.h"
#include "framework/DataExchange.h"

namespace {
int RecordMessage(const wchar_t* text, UINT) {
    RecordedMessages().push_back(text);
    return IDOK;
}

BOOL CALLBACK CollectDialogs(HWND h, LPARAM lp) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    wchar_t cls[16] = L"";
    ::GetClassNameW(h, cls, 16);
    if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(h) && lstrcmpW(cls, L"#32770") == 0)
        reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

bool EncoderClsid(const wchar_t* mime, CLSID* pClsid) {
    UINT n = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&n, &size);
    std::vector<BYTE> buf(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buf.data());
    if (size == 0 || Gdiplus::GetImageEncoders(n, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < n; ++i) {
        if (lstrcmpW(codecs[i].MimeType, mime) == 0) {
            *pClsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}
}  // namespace

std::vector<std::wstring>& RecordedMessages() {
    static std::vector<std::wstring> messages;
    return messages;
}

CMainWindowHost::CMainWindowHost(const CPeltoConfig& config) {
    RecordedMessages().clear();
    AfxSetMessageBoxHook(&RecordMessage);
    m_pConfigGuard.reset(new CConfigFileGuard(config));
    m_bCreated = m_dlg.Create(IDD_PELTO_DIALOG);
    PumpFor(50);
    Idle();
}

CMainWindowHost::~CMainWindowHost() {
    if (m_dlg.m_hWnd) m_dlg.DestroyWindow();
    PumpFor(20);
    m_pConfigGuard.reset();
    AfxSetMessageBoxHook(nullptr);
}

void CMainWindowHost::Command(UINT nID) {
    m_dlg.SendMessage(WM_COMMAND, nID, 0);
    Idle();
}

void CMainWindowHost::Idle() { m_dlg.SendMessage(WM_KICKIDLE, 0, 0); }

int CMainWindowHost::Selector() const {
    return static_cast<int>(::SendDlgItemMessageW(m_dlg.m_hWnd, IDC_SNAP_TYPE, CB_GETCURSEL, 0, 0));
}

bool CMainWindowHost::Checked(int nCtrlId) const {
    return ::IsDlgButtonChecked(m_dlg.m_hWnd, nCtrlId) == BST_CHECKED;
}

UINT CMainWindowHost::MenuState(UINT nID) const {
    return ::GetMenuState(::GetMenu(m_dlg.m_hWnd), nID, MF_BYCOMMAND);
}

bool CMainWindowHost::MenuRadio(UINT nID) const {
    MENUITEMINFOW mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE;
    if (!::GetMenuItemInfoW(::GetMenu(m_dlg.m_hWnd), nID, FALSE, &mii)) return false;
    return (mii.fType & MFT_RADIOCHECK) && (mii.fState & MFS_CHECKED);
}

CPixels CMainWindowHost::PreviewPixels() {
    CRect rc;
    m_dlg.m_wndPreview.GetClientRect(&rc);
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hScreen, rc.Width(), rc.Height());
    CDC dc;
    dc.CreateCompatibleDC(hScreen);
    ::ReleaseDC(nullptr, hScreen);
    HGDIOBJ old = dc.SelectObject(hBmp);
    // Something neither picture contains, so that an undrawn area shows.
    CBrush magenta;
    magenta.CreateSolidBrush(RGB(255, 0, 255));
    dc.FillRect(rc, static_cast<HBRUSH>(magenta.m_hObject));
    m_dlg.DrawPreviewTo(&dc, rc);
    dc.SelectObject(old);
    CPixels pixels = ReadPixels(hBmp);
    ::DeleteObject(hBmp);
    return pixels;
}

HWND WaitForProcessDialog(int nCtrlId, DWORD dwTimeoutMs) {
    DWORD start = ::GetTickCount();
    do {
        std::vector<HWND> dialogs;
        ::EnumWindows(&CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
        for (HWND h : dialogs)
            if (::GetDlgItem(h, nCtrlId)) return h;
        ::Sleep(20);
    } while (::GetTickCount() - start < dwTimeoutMs);
    return nullptr;
}

std::vector<HWND> ProcessDialogs(HWND hExcept) {
    std::vector<HWND> dialogs;
    ::EnumWindows(&CollectDialogs, reinterpret_cast<LPARAM>(&dialogs));
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), hExcept), dialogs.end());
    return dialogs;
}

bool PutColourOnClipboard(int cx, int cy, COLORREF clr) {
    static COLORREF s_clr;
    s_clr = clr;
    HBITMAP hBmp = MakeBitmap(cx, cy, [](int, int) { return s_clr; });
    if (!hBmp) return false;
    for (int i = 0; i < 50; ++i) {
        if (::OpenClipboard(nullptr)) {
            ::EmptyClipboard();
            bool ok = ::SetClipboardData(CF_BITMAP, hBmp) != nullptr;
            ::CloseClipboard();
            if (!ok) ::DeleteObject(hBmp);
            return ok;
        }
        ::Sleep(20);
    }
    ::DeleteObject(hBmp);
    return false;
}

bool SaveWindowShot(HWND hWnd, const wchar_t* pszName) {
    RECT rc;
    if (!::GetWindowRect(hWnd, &rc)) return false;
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hScreen, cx, cy);
    HGDIOBJ old = ::SelectObject(hMem, hBmp);
    ::BitBlt(hMem, 0, 0, cx, cy, hScreen, rc.left, rc.top, SRCCOPY);
    ::SelectObject(hMem, old);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    bool ok = false;
    CLSID png;
    if (EncoderClsid(L"image/png", &png)) {
        Gdiplus::Bitmap bmp(hBmp, nullptr);
        wchar_t path[MAX_PATH] = L"";
        ::GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring file(path);
        file = file.substr(0, file.rfind(L'\\') + 1) + pszName;
        ok = bmp.Save(file.c_str(), &png, nullptr) == Gdiplus::Ok;
    }
    ::DeleteObject(hBmp);
    return ok;
}
