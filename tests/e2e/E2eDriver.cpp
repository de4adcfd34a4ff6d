// Works the installed program's windows the way a person's clicks would, by messages, for the
// end-to-end suite: one action per run, a line of what it saw on stdout, exit code 0 when the
// action was done and 1 when a window it needed never appeared.
//   e2e_driver main-window | command ID | checked ID | text ID
//   e2e_driver save-as PATH TYPE | open PATH | options [DELAY] | update
//   e2e_driver region-start | region-end | marker X Y W H | close-marker
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/res/resource.h"

namespace {

const DWORD kPatienceMs = 60000;
const wchar_t kMarkerClass[] = L"PeltoE2eMarker";
const int kRegionTip = 1031;  // the region overlay's tip

void Print(const std::wstring& text) {
    std::wstring line = text + L"\n";
    int n = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr,
                                  0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], n,
                              nullptr, nullptr);
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    fflush(stdout);
}

int Fail(const std::wstring& what) {
    Print(L"e2e_driver: " + what);
    return 1;
}

bool WaitFor(const std::function<bool()>& condition) {
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > kPatienceMs) return false;
        ::Sleep(50);
    }
    return true;
}

HWND FindDescendant(HWND hParent, int nId) {
    struct Search {
        int id;
        HWND found;
    } search = {nId, nullptr};
    ::EnumChildWindows(
        hParent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (::GetDlgCtrlID(h) != s->id) return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible top-level dialog that holds every one of the given controls.
HWND FindDialogWith(std::vector<int> ids) {
    struct Search {
        std::vector<int> ids;
        HWND found;
    } search = {std::move(ids), nullptr};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            wchar_t cls[32] = L"";
            ::GetClassNameW(h, cls, 32);
            if (!::IsWindowVisible(h) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
            for (int id : s->ids)
                if (!FindDescendant(h, id)) return TRUE;
            s->found = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForDialogWith(const std::vector<int>& ids) {
    HWND h = nullptr;
    WaitFor([&] { return (h = FindDialogWith(ids)) != nullptr; });
    return h;
}

HWND FindMainWindow() { return FindDialogWith({IDC_SNAP_TYPE, IDC_PREVIEW, IDC_GRAYSCALE}); }

// The main window hides while it captures: an action waits for it to be back.
HWND MainWindow() {
    HWND h = nullptr;
    WaitFor([&] { return (h = FindMainWindow()) != nullptr; });
    return h;
}

std::wstring Text(HWND h) {
    wchar_t buf[4096] = L"";
    DWORD_PTR n = 0;
    ::SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buf), SMTO_NORMAL, 10000,
                          &n);
    return buf;
}

void SetText(HWND h, const std::wstring& text) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                          10000, &result);
}

void PostCommand(HWND hWnd, int nId) {
    ::PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hWnd, nId)));
}

// The main window's thread answers again once the command that ran the dialog has finished (the
// file written after a save dialog closed, say).
bool WaitIdle(HWND hMain) {
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(hMain, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, &result) != 0;
}

bool WaitGone(HWND h) {
    return WaitFor([&] { return !::IsWindow(h) || !::IsWindowVisible(h); });
}

std::wstring Upper(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(::towupper(c));
    return s;
}

// Runs a file dialog of the program: the type whose text holds TYPE (empty: leave it), the name,
// OK; then waits for the dialog to close.
int DriveFileDialog(int nCommand, const std::wstring& path, const std::wstring& type) {
    HWND hMain = MainWindow();
    if (!hMain) return Fail(L"no main window");
    PostCommand(hMain, nCommand);
    const int kTypeCombo = 1136, kNameCombo = 1148, kNameEdit = 1152;
    HWND hDlg = WaitForDialogWith({kTypeCombo});
    if (!hDlg) return Fail(L"no file dialog appeared");
    HWND hCombo = ::GetDlgItem(hDlg, kTypeCombo);
    if (!type.empty()) {
        int count = static_cast<int>(::SendMessageW(hCombo, CB_GETCOUNT, 0, 0));
        int chosen = -1;
        for (int i = 0; i < count && chosen < 0; ++i) {
            wchar_t item[512] = L"";
            if (::SendMessageW(hCombo, CB_GETLBTEXTLEN, i, 0) < 512)
                ::SendMessageW(hCombo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            if (Upper(item).find(Upper(type)) != std::wstring::npos) chosen = i;
        }
        if (chosen < 0) return Fail(L"the file dialog offers no type " + type);
        ::SendMessageW(hCombo, CB_SETCURSEL, chosen, 0);
        ::SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(kTypeCombo, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(hCombo));
    }
    HWND hName = ::GetDlgItem(hDlg, kNameCombo);
    if (!hName) hName = ::GetDlgItem(hDlg, kNameEdit);
    if (!hName) return Fail(L"the file dialog has no name box");
    SetText(hName, path);
    PostCommand(hDlg, IDOK);
    if (!WaitGone(hDlg)) return Fail(L"the file dialog stayed open");
    if (!WaitIdle(hMain)) return Fail(L"the main window did not finish after the file dialog");
    Print(L"file dialog done: " + path);
    return 0;
}

int Options(const std::wstring& newDelay) {
    HWND hMain = MainWindow();
    if (!hMain) return Fail(L"no main window");
    PostCommand(hMain, ID_OPT_SETTINGS);
    // The sheet opens on the page it was left at; the delay is on the first.
    const int kSheetTabs = 0x3020;
    const UINT kSetCurSel = WM_USER + 101;  // PSM_SETCURSEL
    HWND hSheet = WaitForDialogWith({kSheetTabs});
    if (!hSheet) return Fail(L"the options sheet did not appear");
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(hSheet, kSetCurSel, 0, 0, SMTO_NORMAL, kPatienceMs, &result);
    if (!WaitFor([&] { return FindDescendant(hSheet, IDC_OPT_SNAP_DELAY) != nullptr; }))
        return Fail(L"the options sheet has no capture delay");
    HWND hDelay = FindDescendant(hSheet, IDC_OPT_SNAP_DELAY);
    Print(L"delay " + Text(hDelay));
    if (!newDelay.empty()) SetText(hDelay, newDelay);
    PostCommand(hSheet, IDOK);
    if (!WaitGone(hSheet)) return Fail(L"the options sheet stayed open");
    if (!WaitIdle(hMain)) return Fail(L"the main window did not finish after the options sheet");
    return 0;
}

int Update() {
    HWND hMain = MainWindow();
    if (!hMain) return Fail(L"no main window");
    PostCommand(hMain, ID_HELP_CHECK_UPDATE);
    HWND hDlg = WaitForDialogWith({IDC_UPDATE_PROGRESS, IDC_UPDATE_INFO});
    if (!hDlg) return Fail(L"the update dialog did not appear");
    std::wstring info = Text(::GetDlgItem(hDlg, IDC_UPDATE_INFO));
    for (wchar_t& c : info)
        if (c == L'\r' || c == L'\n') c = L' ';
    Print(L"update dialog: " + info);
    PostCommand(hDlg, IDOK);
    return 0;
}

// The region capture from the menu: the overlay is up and takes the mouse; the drag itself comes
// from the X server (xdotool), as a person's would: Wine puts a pointer moved from inside back
// where the X pointer is.
int RegionStart() {
    HWND hMain = MainWindow();
    if (!hMain) return Fail(L"no main window");
    PostCommand(hMain, ID_SNAP_SELECT_RECT);
    HWND hOverlay = WaitForDialogWith({kRegionTip});
    if (!hOverlay) return Fail(L"the region overlay did not appear");
    if (!WaitFor([&] { return ::GetForegroundWindow() == hOverlay; }))
        return Fail(L"the region overlay never became the active window");
    Print(L"region overlay shown");
    return 0;
}

int RegionEnd() {
    if (!WaitFor([] { return FindDialogWith({kRegionTip}) == nullptr; }))
        return Fail(L"the region overlay stayed open");
    HWND hMain = MainWindow();
    if (!hMain || !WaitIdle(hMain)) return Fail(L"the main window did not finish the capture");
    Print(L"region captured");
    return 0;
}

LRESULT CALLBACK MarkerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hWnd, &ps);
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        RECT left = rc, right = rc;
        left.right = right.left = rc.right / 2;
        HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0)), blue = ::CreateSolidBrush(RGB(0, 0, 255));
        ::FillRect(hdc, &left, red);
        ::FillRect(hdc, &right, blue);
        ::DeleteObject(red);
        ::DeleteObject(blue);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

// A red left half and a blue right half: a picture whose mirror image differs from it.
int Marker(int x, int y, int cx, int cy) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = MarkerProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kMarkerClass;
    ::RegisterClassW(&wc);
    HWND hWnd = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMarkerClass, L"marker",
                                  WS_POPUP | WS_VISIBLE, x, y, cx, cy, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!hWnd) return Fail(L"the marker window could not be made");
    ::UpdateWindow(hWnd);
    Print(L"marker shown");
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.empty()) return Fail(L"no action");
    const std::wstring& action = args[0];
    auto arg = [&](size_t i) { return i < args.size() ? args[i] : std::wstring(); };
    if (action == L"main-window") {
        HWND h = MainWindow();
        if (!h) return Fail(L"the main window did not appear");
        Print(L"main window: " + Text(h));
        return 0;
    }
    if (action == L"command" || action == L"checked" || action == L"text") {
        HWND hMain = MainWindow();
        if (!hMain) return Fail(L"no main window");
        int id = _wtoi(arg(1).c_str());
        if (action == L"command") {
            // Sent, not posted: the action ends when the command has run, as a click's would.
            DWORD_PTR result = 0;
            if (!::SendMessageTimeoutW(hMain, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0,
                                       SMTO_NORMAL, kPatienceMs, &result) &&
                ::IsWindow(hMain))
                return Fail(L"the main window did not finish command " + arg(1));
            return 0;
        }
        HWND hItem = ::GetDlgItem(hMain, id);
        if (!hItem) return Fail(L"the main window has no control " + arg(1));
        if (action == L"checked")
            Print(::SendMessageW(hItem, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1" : L"0");
        else
            Print(Text(hItem));
        return 0;
    }
    if (action == L"save-as") return DriveFileDialog(ID_FILE_SAVE_AS, arg(1), arg(2));
    if (action == L"open") return DriveFileDialog(ID_FILE_OPEN, arg(1), L"");
    if (action == L"options") return Options(arg(1));
    if (action == L"update") return Update();
    if (action == L"region-start") return RegionStart();
    if (action == L"region-end") return RegionEnd();
    if (action == L"close-marker") {
        HWND h = ::FindWindowW(kMarkerClass, nullptr);
        if (h) ::PostMessageW(h, WM_CLOSE, 0, 0);
        return 0;
    }
    if (action == L"marker" && args.size() == 5)
        return Marker(_wtoi(args[1].c_str()), _wtoi(args[2].c_str()), _wtoi(args[3].c_str()),
                      _wtoi(args[4].c_str()));
    return Fail(L"unknown action " + action);
}
