#include "app/main/CommandLineRun.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "framework/FxString.h"
#include "framework/Wnd.h"
#include "lib/codec/GdiplusCodecList.h"
#include "lib/core/PeltoCore.h"
#include "lib/image/SystemScreen.h"
#include "lib/snap/ProgramWindows.h"

namespace {

// The engine with the rectangle capture and the busy flag reachable: the command line captures a
// given rectangle or window directly, and waits for the object pick to end.
class CCommandLineCore : public CPeltoCore {
public:
    using CPeltoCore::m_bSnapping;
    using CPeltoCore::SnapRect;

protected:
    // The capture a start with the window takes would be of the hidden host, and would show it
    // and copy the picture before this run's own settings apply.
    BOOL TakesStartupCapture() override { return FALSE; }
};

// Writes one line to where the program was started from: the inherited output (a pipe or file)
// or the parent's console.
void Say(const std::wstring& text, bool bError) {
    HANDLE h = ::GetStdHandle(bError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (!h || h == INVALID_HANDLE_VALUE) {
        if (::AttachConsole(ATTACH_PARENT_PROCESS) || ::GetLastError() == ERROR_ACCESS_DENIED)
            h = ::CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
        if (!h || h == INVALID_HANDLE_VALUE) return;
    }
    std::wstring line = text;
    if (line.empty() || line.back() != L'\n') line += L'\n';
    DWORD mode = 0, written = 0;
    if (::GetConsoleMode(h, &mode)) {
        ::WriteConsoleW(h, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
        return;
    }
    const std::string utf8 = CString(line).ToUtf8();
    ::WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

int Fail(int code, const std::wstring& message) {
    Say(L"pelto: " + message, true);
    return code;
}

HWND FindProgramWindow(const std::wstring& title, HWND hExclude) {
    CProgramWindowList list;
    list.Build();
    for (const CProgramWindowList::Entry& e : list.entries) {
        if (e.hWnd == hExclude) continue;
        if (std::wstring(e.strTitle.GetString()).find(title) != std::wstring::npos) return e.hWnd;
    }
    return nullptr;
}

// Lets the messages of a running object pick through until it ends.
void WaitWhileBusy(CCommandLineCore& core) {
    while (core.m_bSnapping) {
        if (!AfxPumpMessage()) break;
    }
}

int Capture(const CommandLineRequest& r, CCommandLineCore& core, HWND hHost) {
    DWORD delay = r.delayMs >= 0 ? static_cast<DWORD>(r.delayMs) : core.m_config.GetSnapDelayTime();
    switch (r.target) {
        case CaptureTarget::Full:
            return core.SnapFullScreen();
        case CaptureTarget::Rect: {
            ::Sleep(delay);
            CRect rc(r.x, r.y, r.x + r.cx, r.y + r.cy);
            return core.SnapRect(::GetDesktopWindow(), ScreenToDesktopDc(rc));
        }
        case CaptureTarget::Window: {
            HWND hWnd = FindProgramWindow(r.title, hHost);
            if (!hWnd) return 0;
            ::SetForegroundWindow(hWnd);
            ::Sleep(delay);
            return core.SnapRect(hWnd, CRect(0, 0, 0, 0));
        }
        case CaptureTarget::Current:
            return core.SnapCurrentWin();
        case CaptureTarget::Active:
            return core.SnapActiveWin();
        case CaptureTarget::Client:
            return core.SnapWinClient();
        case CaptureTarget::Object: {
            Gdiplus::Image* pBefore = core.GetImage();
            if (!core.SnapWinObj()) return 0;
            WaitWhileBusy(core);
            return core.GetImage() && core.GetImage() != pBefore ? 1 : 0;
        }
        case CaptureTarget::Region:
            return core.SnapSelectRect();
    }
    return 0;
}

}  // namespace

std::vector<std::wstring> ProcessArguments() {
    std::vector<std::wstring> args;
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) return args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    ::LocalFree(argv);
    return args;
}

int RunCommandLine(const CommandLineRequest& r) {
    switch (r.action) {
        case CommandAction::Help:
            Say(kCommandLineUsage, false);
            return kExitCaptured;
        case CommandAction::Version:
            Say(kProgramVersion, false);
            return kExitCaptured;
        case CommandAction::Error:
            return Fail(kExitBadArguments, r.error);
        case CommandAction::RunProgram:
        case CommandAction::Capture:
            break;
    }
    CLSID clsid;
    if (!r.outFile.empty() && !GetEncoderClsidForPath(r.outFile.c_str(), &clsid))
        return Fail(kExitBadArguments, L"no image format for the extension of " + r.outFile);

    // A hidden host stands in for the main window: the engine hides and shows it, and sizes the
    // thumbnail for its view. It is never shown.
    CWnd host, view;
    if (!host.CreateEx(WS_EX_TOOLWINDOW, nullptr, L"Pelto command line", WS_POPUP,
                       CRect(0, 0, 400, 300), nullptr, 0) ||
        !view.CreateEx(0, nullptr, L"", WS_CHILD, CRect(0, 0, 384, 280), &host, 1005))
        return Fail(kExitNothingCaptured, L"cannot create the capture window");
    int result = kExitNothingCaptured;
    {
        CCommandLineCore core;
        core.InitSnapper(&host, &view);
        // This run changes nothing for the next start: the settings are never saved (the
        // engine is not closed, which is what saves them), so they may be bent here.
        core.m_config.SetHideMainWnd(FALSE);
        core.m_config.SetAutoCopy(FALSE);
        if (r.delayMs >= 0) core.m_config.SetSnapDelayTime(static_cast<UINT>(r.delayMs));
        if (!r.effects) core.m_config.ResetImageOption();
        if (!Capture(r, core, host.m_hWnd) || !core.GetImage()) {
            result = Fail(kExitNothingCaptured, L"nothing captured");
        } else {
            result = kExitCaptured;
            if (r.clipboard && !core.CopyImageData(0))
                result = Fail(kExitNothingCaptured, L"the clipboard could not be written");
            if (result == kExitCaptured && !r.outFile.empty()) {
                wchar_t full[MAX_PATH * 4] = L"";
                DWORD n = ::GetFullPathNameW(r.outFile.c_str(), MAX_PATH * 4, full, nullptr);
                std::wstring path = n > 0 && n < MAX_PATH * 4 ? full : r.outFile;
                if (core.SaveImage(path.c_str(), 0))
                    Say(path, false);
                else
                    result = Fail(kExitBadArguments, L"cannot write " + path);
            }
        }
    }
    view.DestroyWindow();
    host.DestroyWindow();
    return result;
}
