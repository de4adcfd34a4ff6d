// The real program started as a user starts it, in a folder of its own, and ended each way a user
// ends it: it must leave with exit code 0 and its settings written.
#include <gtest/gtest.h>

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

}  // namespace

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
    for (const wchar_t* file : {L"pelto.exe", L"PeltoLib.dll", L"PeltoFx.dll", L"Hook.dll"})
        ASSERT_TRUE(::CopyFileW((TestFolder() + file).c_str(), folder.File(file).c_str(), FALSE))
            << "cannot copy the program";
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
