#include "tests/lib/codec/FileDialogDriver.h"

#include <chrono>

namespace {

const int kTypeCombo = 1136;  // cmb1
const int kNameCombo = 1148;  // cmb13
const auto kPatience = std::chrono::seconds(10);

struct Search {
    HWND found = nullptr;
};

BOOL CALLBACK FindFileDialog(HWND h, LPARAM lp) {
    wchar_t cls[32] = {};
    ::GetClassNameW(h, cls, 32);
    if (::IsWindowVisible(h) && wcscmp(cls, L"#32770") == 0 && ::GetDlgItem(h, kTypeCombo)) {
        reinterpret_cast<Search*>(lp)->found = h;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

CFileDialogDriver::CFileDialogDriver(std::function<void(CFileDialogDriver&)> script)
    : m_uiThread(::GetCurrentThreadId()) {
    m_thread = std::thread([this, script] {
        script(*this);
        // The script should have ended the dialog; end it anyway so that DoModal returns.
        if (m_hDlg && ::IsWindow(m_hDlg)) {
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (::IsWindow(m_hDlg) && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            if (::IsWindow(m_hDlg)) {
                Fail("the dialog was still open when the script ended");
                ::PostMessageW(m_hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        }
    });
}

CFileDialogDriver::~CFileDialogDriver() { Join(); }

void CFileDialogDriver::Join() {
    if (m_thread.joinable()) m_thread.join();
}

bool CFileDialogDriver::WaitFor(const std::function<bool()>& condition) {
    auto until = std::chrono::steady_clock::now() + kPatience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

HWND CFileDialogDriver::Dialog() {
    if (m_hDlg && ::IsWindow(m_hDlg)) return m_hDlg;
    Search s;
    if (!WaitFor([&] {
            ::EnumThreadWindows(m_uiThread, &FindFileDialog, reinterpret_cast<LPARAM>(&s));
            return s.found != nullptr;
        })) {
        Fail("no file dialog appeared");
        return nullptr;
    }
    m_hDlg = s.found;
    return m_hDlg;
}

LRESULT CFileDialogDriver::Send(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(h, msg, wp, lp, SMTO_NORMAL, 10000, &result))
        Fail("the dialog did not answer message " + std::to_string(msg));
    return static_cast<LRESULT>(result);
}

bool CFileDialogDriver::Appears(std::chrono::milliseconds within) {
    auto until = std::chrono::steady_clock::now() + within;
    do {
        Search s;
        ::EnumThreadWindows(m_uiThread, &FindFileDialog, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            m_hDlg = s.found;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < until);
    return false;
}

void CFileDialogDriver::ChooseType(int nType) {
    HWND hDlg = Dialog();
    if (!hDlg) return;
    HWND hCombo = ::GetDlgItem(hDlg, kTypeCombo);
    Send(hCombo, CB_SETCURSEL, static_cast<WPARAM>(nType - 1), 0);
    Send(hDlg, WM_COMMAND, MAKEWPARAM(kTypeCombo, CBN_SELENDOK), reinterpret_cast<LPARAM>(hCombo));
}

void CFileDialogDriver::TypeName(const wchar_t* name) {
    HWND hDlg = Dialog();
    if (!hDlg) return;
    HWND hName = ::GetDlgItem(hDlg, kNameCombo);
    if (!hName) hName = ::GetDlgItem(hDlg, 1152);  // edt1 in dialogs that have it
    if (!hName) {
        Fail("the dialog has no file name box");
        return;
    }
    Send(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name));
}

void CFileDialogDriver::PressOk() {
    HWND hDlg = Dialog();
    if (!hDlg) return;
    Send(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
         reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDOK)));
}

void CFileDialogDriver::PressCancel() {
    HWND hDlg = Dialog();
    if (!hDlg) return;
    Send(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
         reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, IDCANCEL)));
}

bool CFileDialogDriver::IsOpen() const {
    return m_hDlg && ::IsWindow(m_hDlg) && ::IsWindowVisible(m_hDlg);
}

int CFileDialogDriver::TypeCount() {
    HWND hDlg = Dialog();
    return hDlg ? static_cast<int>(Send(::GetDlgItem(hDlg, kTypeCombo), CB_GETCOUNT, 0, 0)) : -1;
}

std::wstring CFileDialogDriver::TypeText(int nType) {
    HWND hDlg = Dialog();
    if (!hDlg) return L"";
    HWND hCombo = ::GetDlgItem(hDlg, kTypeCombo);
    wchar_t buf[512] = {};
    LRESULT n = Send(hCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(nType - 1), 0);
    if (n <= 0 || n >= 512) return L"";
    Send(hCombo, CB_GETLBTEXT, static_cast<WPARAM>(nType - 1), reinterpret_cast<LPARAM>(buf));
    return buf;
}
