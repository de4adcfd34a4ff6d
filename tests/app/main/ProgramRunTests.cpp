// The real program started as a user starts it, in a folder of its own, and ended each way a user
// ends it: it must leave with exit code 0 and its settings written.
#include <gtest/gtest.h>

#include <windows.h>

#include "lib/codec/GdiplusHeaders.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "app/res/resource.h"
#include "tests/app/main/AppTestSupport.h"

namespace {

std::wstring TestFolder() {
    wchar_t path[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.rfind(L'\\') + 1);
}

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct FindMain {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<FindMain*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if (pid == f->pid && ::IsWindowVisible(h) && ::GetDlgItem(h, IDC_PREVIEW)) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForMainWindow(DWORD pid) {
    FindMain f = {pid, nullptr};
    for (int i = 0; i < 1000 && !f.found; ++i) {
        ::EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&f));
        if (!f.found) ::Sleep(20);
    }
    return f.found;
}

struct RunResult {
    DWORD code = 99;
    std::string output;
};

// Runs the program with arguments, its output read through a pipe.
RunResult RunProgram(const std::wstring& exe, const std::wstring& args, const std::wstring& dir) {
    RunResult result;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    if (!::CreatePipe(&hRead, &hWrite, &sa, 0)) return result;
    ::SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = hWrite;
    si.hStdError = hWrite;
    si.hStdInput = nullptr;
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    PROCESS_INFORMATION pi = {};
    BOOL ok = ::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(),
                               &si, &pi);
    ::CloseHandle(hWrite);
    if (ok) {
        // Read while waiting for the end, not until the pipe closes: a process the program
        // starts (Wine's audio, for one) may inherit the pipe and keep it open.
        auto drain = [&] {
            DWORD avail = 0;
            while (::PeekNamedPipe(hRead, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
                char buf[4096];
                DWORD n = 0;
                if (!::ReadFile(hRead, buf, sizeof buf, &n, nullptr) || n == 0) break;
                result.output.append(buf, n);
            }
        };
        DWORD start = ::GetTickCount();
        // This thread's windows must keep answering: the program may capture one of them.
        while (::MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 20, QS_ALLINPUT) !=
               WAIT_OBJECT_0) {
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
            drain();
            if (::GetTickCount() - start > 60000) {
                ::TerminateProcess(pi.hProcess, 98);
                break;
            }
        }
        drain();
        ::GetExitCodeProcess(pi.hProcess, &result.code);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(hRead);
    return result;
}

// The picture's size and its first bytes, or 0 × 0 when the file does not decode.
struct Written {
    UINT cx = 0, cy = 0;
    std::string magic;
};
Written ReadWritten(const std::wstring& path) {
    Written w;
    w.magic = ReadAll(path).substr(0, 4);
    Gdiplus::Bitmap* p = Gdiplus::Bitmap::FromFile(path.c_str());
    if (p && p->GetLastStatus() == Gdiplus::Ok) {
        w.cx = p->GetWidth();
        w.cy = p->GetHeight();
    }
    delete p;
    return w;
}

// The program asks for updates at start: here it asks a port where nothing listens.
void KeepUpdateCheckLocal() {
    ::SetEnvironmentVariableW(L"PELTO_UPDATE_ROOT", L"http://127.0.0.1:9");
}

void CopyProgram(const CTempFolder& folder) {
    KeepUpdateCheckLocal();
    for (const wchar_t* file : {L"pelto.exe", L"PeltoLib.dll", L"PeltoFx.dll", L"Hook.dll"})
        ASSERT_TRUE(::CopyFileW((TestFolder() + file).c_str(), folder.File(file).c_str(), FALSE))
            << "cannot copy the program";
}

}  // namespace

TEST(ProgramRunTest, CommandLineCapturesWritesAndRefuses) {
    CTempFolder folder;
    CopyProgram(folder);
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    CColorWindow target(CRect(120, 90, 120 + 210, 90 + 130), RGB(10, 160, 60), CLR_INVALID, 1 << 30,
                        WS_POPUP | WS_VISIBLE, 0, L"Pelto CLI target 7q");
    PumpFor(200);
    CSize screen = ScreenSize();
    struct Case {
        const wchar_t* args;
        DWORD code;
        const wchar_t* file;  // written by a success
        const char* magic;
        UINT cx, cy;
        const char* output;  // a part of what it prints
    };
    const Case kCases[] = {
        {L"--capture full --out full.png --no-effects", 0, L"full.png", "\x89PNG",
         static_cast<UINT>(screen.cx), static_cast<UINT>(screen.cy), "full.png"},
        {L"--capture rect:-50,-40,200,150 --out part.bmp", 0, L"part.bmp", "BM", 150, 110,
         "part.bmp"},
        {L"--capture rect:10,20,64,48 --out small.jpg --delay 0", 0, L"small.jpg", "\xFF\xD8\xFF",
         64, 48, "small.jpg"},
        {L"--capture \"window:CLI target 7q\" --out win.png", 0, L"win.png", "\x89PNG", 210, 130,
         "win.png"},
        {L"--capture window:no-such-window-title-3x --out none.png", 1, nullptr, "", 0, 0,
         "nothing captured"},
        {L"--capture rect:-500,-500,100,100 --out off.png", 1, nullptr, "", 0, 0,
         "nothing captured"},
        {L"--capture full --out picture.xyz", 2, nullptr, "", 0, 0, "picture.xyz"},
        {L"--capture rect:1,2,3", 2, nullptr, "", 0, 0, "rect:1,2,3"},
        {L"--capture full --delay -5", 2, nullptr, "", 0, 0, "--delay"},
        {L"--capture", 2, nullptr, "", 0, 0, "mode"},
        {L"--version", 0, nullptr, "", 0, 0, "2.1.0.1"},
        {L"--help", 0, nullptr, "", 0, 0, "usage"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.args, c.args + wcslen(c.args)));
        RunResult r = RunProgram(folder.File(L"pelto.exe"), c.args, folder.m_strPath);
        EXPECT_EQ(r.code, c.code) << r.output;
        EXPECT_NE(r.output.find(c.output), std::string::npos) << r.output;
        if (c.file) {
            Written w = ReadWritten(folder.File(c.file));
            EXPECT_EQ(w.magic.substr(0, strlen(c.magic)), c.magic);
            EXPECT_EQ(w.cx, c.cx);
            EXPECT_EQ(w.cy, c.cy);
            ::DeleteFileW(folder.File(c.file).c_str());
        }
    }
    // Nothing failed was written, and no run kept settings.
    for (const wchar_t* file : {L"none.png", L"off.png", L"picture.xyz", L"config.xml"})
        EXPECT_FALSE(FileExists(folder.File(file)))
            << "left " << std::string(file, file + wcslen(file));

    // Settings that capture at start and copy every capture: a command-line run still takes
    // only its own picture, leaves the clipboard alone and keeps the settings as they were.
    CPeltoConfig eager = QuietConfig();
    eager.SetSnapOnStart(TRUE);
    eager.SetAutoCopy(TRUE);
    eager.SetHideMainWnd(TRUE);
    eager.SaveConfigFile(folder.File(L"config.xml").c_str());
    const std::string settings = ReadAll(folder.File(L"config.xml"));
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    HGLOBAL hText = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(L"kept"));
    std::memcpy(::GlobalLock(hText), L"kept", sizeof(L"kept"));
    ::GlobalUnlock(hText);
    ::SetClipboardData(CF_UNICODETEXT, hText);
    ::CloseClipboard();
    RunResult r = RunProgram(folder.File(L"pelto.exe"), L"--capture rect:10,20,64,48 --out s.bmp",
                             folder.m_strPath);
    EXPECT_EQ(r.code, 0u) << r.output;
    EXPECT_EQ(ReadWritten(folder.File(L"s.bmp")).cx, 64u);
    EXPECT_FALSE(::IsClipboardFormatAvailable(CF_BITMAP)) << "a capture was copied";
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(ReadAll(folder.File(L"config.xml")), settings);
    ::DeleteFileW(folder.File(L"s.bmp").c_str());
    ::DeleteFileW(folder.File(L"config.xml").c_str());
    Gdiplus::GdiplusShutdown(token);
}

TEST(ProgramRunTest, EveryWayOutEndsWithCodeZeroAndTheSettingsSaved) {
    struct WayOut {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const WayOut kWays[] = {{"exit button", WM_COMMAND, IDOK},
                            {"exit command", WM_COMMAND, ID_APP_EXIT},
                            {"close box", WM_CLOSE, 0},
                            {"Escape", WM_KEYDOWN, VK_ESCAPE}};
    CTempFolder folder;
    CopyProgram(folder);
    CPeltoConfig start = QuietConfig();
    start.SaveConfigFile(folder.File(L"config.xml").c_str());

    for (const WayOut& way : kWays) {
        SCOPED_TRACE(way.name);
        // Each run toggles grey and automatic copy, so what it must write is the previous file
        // with both inverted.
        CPeltoConfig expected;
        expected.LoadConfigFile(folder.File(L"config.xml").c_str());
        expected.SetGrayScale(!expected.GetGrayScale());
        expected.SetAutoCopy(!expected.GetAutoCopy());
        expected.SaveConfigFile(folder.File(L"expected.xml").c_str());

        std::wstring cmd = L"\"" + folder.File(L"pelto.exe") + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                                     folder.m_strPath.c_str(), &si, &pi));
        HWND hMain = WaitForMainWindow(pi.dwProcessId);
        EXPECT_NE(hMain, nullptr) << "the main window never showed";
        if (hMain) {
            ::SendMessageW(hMain, WM_COMMAND, ID_OPT_GRAYSCALE, 0);
            ::SendMessageW(hMain, WM_COMMAND, ID_OPT_AUTO_COPY, 0);
            ::PostMessageW(hMain, way.message, way.wParam, 0);
        }
        bool bEnded = ::WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
        if (!bEnded) ::TerminateProcess(pi.hProcess, 99);
        DWORD code = 99;
        ::GetExitCodeProcess(pi.hProcess, &code);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        EXPECT_TRUE(bEnded) << "the program did not end";
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(ReadAll(folder.File(L"config.xml")), ReadAll(folder.File(L"expected.xml")))
            << "config.xml differs from the changed settings";
    }
}
