// The update dialog and the About box, driven from a second thread as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "app/main/PeltoApp.h"
#include "app/main/ProgramActions.h"
#include "app/res/resource.h"
#include "app/update/BindCallback.h"
#include "app/update/Sha256.h"
#include "app/update/DlgAbout.h"
#include "app/update/DlgUpdate.h"
#include "tests/app/main/AppTestSupport.h"
#include "tests/app/update/TestHttpServer.h"
#include "tests/app/update/UpdateTestSupport.h"

namespace {

const char kList[] = "/soft/pelto/update.txt";

std::wstring ItemText(HWND hDlg, int nId) {
    wchar_t buf[512] = L"";
    ::GetDlgItemTextW(hDlg, nId, buf, 512);
    return buf;
}

void Press(HWND hDlg, int nId) {
    ::PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hDlg, nId)));
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

BOOL CALLBACK CollectTexts(HWND h, LPARAM lp) {
    wchar_t buf[256] = L"";
    ::GetWindowTextW(h, buf, 256);
    reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(buf);
    return TRUE;
}

struct TipSearch {
    HWND hOwner;
    HWND hTip;
};

BOOL CALLBACK FindOwnedTip(HWND h, LPARAM lp) {
    auto* search = reinterpret_cast<TipSearch*>(lp);
    wchar_t cls[32] = L"";
    ::GetClassNameW(h, cls, 32);
    if (lstrcmpiW(cls, TOOLTIPS_CLASSW) == 0 && ::GetWindow(h, GW_OWNER) == search->hOwner) {
        search->hTip = h;
        return FALSE;
    }
    return TRUE;
}

// What the About box showed, read by the driver thread before it pressed "确定".
struct AboutSeen {
    bool shown = false;
    std::wstring caption, linkUrl, tip;
    std::vector<std::wstring> texts;
};

AboutSeen DriveAboutBox() {
    AboutSeen seen;
    HWND hDlg = WaitForProcessDialog(IDC_ABOUT_LINK);
    if (!hDlg) return seen;
    seen.shown = true;
    wchar_t caption[128] = L"";
    ::GetWindowTextW(hDlg, caption, 128);
    seen.caption = caption;
    ::EnumChildWindows(hDlg, &CollectTexts, reinterpret_cast<LPARAM>(&seen.texts));
    LITEM item = {};
    item.mask = LIF_ITEMINDEX | LIF_URL;
    item.iLink = 0;
    if (::SendDlgItemMessageW(hDlg, IDC_ABOUT_LINK, LM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)))
        seen.linkUrl = item.szUrl;
    TipSearch search = {hDlg, nullptr};
    ::EnumThreadWindows(::GetWindowThreadProcessId(hDlg, nullptr), &FindOwnedTip,
                        reinterpret_cast<LPARAM>(&search));
    if (search.hTip) {
        wchar_t text[256] = L"";
        TOOLINFOW ti = {};
        ti.cbSize = sizeof ti;
        ti.lpszText = text;
        if (::SendMessageW(search.hTip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&ti)))
            seen.tip = text;
    }
    Press(hDlg, IDOK);
    return seen;
}

// The dialog of the update check in the test program's folder, where the dialog downloads.
struct ProgramFolderFiles {
    ~ProgramFolderFiles() {
        for (const wchar_t* name : {L"TempUpdate.txt", L"PeltoTestSetup.exe", L"installer_ran.txt"})
            ::DeleteFileW((TestProgramFolder() + name).c_str());
    }
};

}  // namespace

TEST(UpdateDialogTest, ProgressTextFollowsTheDownload) {
    HWND hDlg = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_UPDATE),
                                     nullptr, &PlainDialogProc, 0);
    ASSERT_NE(nullptr, hDlg);
    g_bindCallback.m_pDlg = hDlg;
    struct Case {
        ULONG progress, maximum;
        const wchar_t* text;
    } const cases[] = {{50, 200, L"已下载25%"},
                       {199, 200, L"已下载99%"},
                       {0, 0, L"已下载0%"},
                       {200, 200, L"已下载100%"}};
    for (const Case& c : cases) {
        EXPECT_EQ(S_OK, g_bindCallback.OnProgress(c.progress, c.maximum, 0, nullptr));
        EXPECT_EQ(c.text, ItemText(hDlg, IDC_UPDATE_STATUS)) << c.progress << "/" << c.maximum;
        PBRANGE range = {};
        ::SendDlgItemMessageW(hDlg, IDC_UPDATE_PROGRESS, PBM_GETRANGE, FALSE,
                              reinterpret_cast<LPARAM>(&range));
        EXPECT_EQ(static_cast<int>(c.maximum), range.iHigh);
        EXPECT_EQ(static_cast<LRESULT>(c.progress),
                  ::SendDlgItemMessageW(hDlg, IDC_UPDATE_PROGRESS, PBM_GETPOS, 0, 0));
    }
    g_bindCallback.m_pDlg = nullptr;
    ::DestroyWindow(hDlg);
}

TEST(UpdateDialogTest, ShowsTheOfferedVersionAndItsNotes) {
    ProgramFolderFiles cleanup;
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    server.Serve(std::string("/notes") + kList,
                 {200, "PeltoTestSetup.exe 2.1.0.2\r\nfirst line\r\nsecond line\r\n", false});
    CScopedUpdateRoot root(server.Root("notes"));
    std::wstring info;
    {
        CDriverThread driver([&] {
            HWND hDlg = WaitForProcessDialog(IDC_UPDATE_PROGRESS);
            if (!hDlg) return;
            info = ItemText(hDlg, IDC_UPDATE_INFO);
            Press(hDlg, IDCANCEL);
        });
        RunUpdateDialog();
    }
    EXPECT_EQ(L"版本：2.1.0.2\r\n\r\nfirst line\r\nsecond line\r\n", info);
    // Cancelled: nothing was downloaded.
    EXPECT_EQ(0, server.Requests("/notes/soft/pelto/PeltoTestSetup.exe"));
}

TEST(UpdateDialogTest, UpdateWithAFailingDownloadClosesTheProgramAndStartsNothing) {
    ProgramFolderFiles cleanup;
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    server.Serve(std::string("/fail") + kList, {200, "PeltoTestSetup.exe 2.1.0.2\r\n", false});
    server.Serve("/fail/soft/pelto/PeltoTestSetup.exe", {500, "MZ error page", false});
    CScopedUpdateRoot root(server.Root("fail"));
    CMainWindowHost host;
    ASSERT_TRUE(host.m_bCreated);
    ASSERT_TRUE(host.m_dlg.IsWindowVisible());
    theApp.m_pMainWnd = &host.m_dlg;
    bool pressed = false;
    {
        CDriverThread driver([&] {
            HWND hDlg = WaitForProcessDialog(IDC_UPDATE_PROGRESS);
            if (!hDlg) return;
            pressed = true;
            Press(hDlg, IDOK);
        });
        RunUpdateDialog();
    }
    PumpFor(100);
    theApp.m_pMainWnd = nullptr;
    EXPECT_TRUE(pressed);
    EXPECT_EQ(1, server.Requests("/fail/soft/pelto/PeltoTestSetup.exe"));
    // The main window was closed, which ends the program.
    EXPECT_FALSE(host.m_dlg.IsWindowVisible());
    EXPECT_EQ(std::vector<std::wstring>{}, RecordedMessages());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              ::GetFileAttributesW((TestProgramFolder() + L"PeltoTestSetup.exe").c_str()));
}

TEST(UpdateDialogTest, UpdateDownloadsVerifiesAndStartsTheInstaller) {
    ProgramFolderFiles cleanup;
    std::string installer;
    ASSERT_TRUE(ReadWholeFile(TestProgramFolder() + L"update_fake_installer.exe", &installer));
    update::Sha256 sha;
    sha.Update(installer.data(), installer.size());
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    server.Serve(std::string("/whole") + kList,
                 {200, "PeltoTestSetup.exe 2.1.0.2 " + sha.FinishHex() + "\r\nnotes\r\n", false});
    server.Serve("/whole/soft/pelto/PeltoTestSetup.exe", {200, installer, false});
    CScopedUpdateRoot root(server.Root("whole"));
    CMainWindowHost host;
    ASSERT_TRUE(host.m_bCreated);
    theApp.m_pMainWnd = &host.m_dlg;
    {
        CDriverThread driver([&] {
            if (HWND hDlg = WaitForProcessDialog(IDC_UPDATE_PROGRESS)) Press(hDlg, IDOK);
        });
        RunUpdateDialog();
    }
    PumpFor(100);
    theApp.m_pMainWnd = nullptr;
    EXPECT_FALSE(host.m_dlg.IsWindowVisible());
    std::wstring mark = TestProgramFolder() + L"installer_ran.txt";
    for (int i = 0; i < 500 && ::GetFileAttributesW(mark.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        ::Sleep(20);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(mark.c_str()))
        << "installer not started";
}

TEST(UpdateDialogTest, CancelStopsAHangingDownloadAndTheProgramGoesOn) {
    ProgramFolderFiles cleanup;
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    server.Serve(std::string("/stuck") + kList, {200, "PeltoTestSetup.exe 2.1.0.2\r\n", false});
    server.Serve("/stuck/soft/pelto/PeltoTestSetup.exe", {200, "", true});
    CScopedUpdateRoot root(server.Root("stuck"));
    CMainWindowHost host;
    ASSERT_TRUE(host.m_bCreated);
    theApp.m_pMainWnd = &host.m_dlg;
    bool cancelled = false;
    {
        CDriverThread driver([&] {
            HWND hDlg = WaitForProcessDialog(IDC_UPDATE_PROGRESS);
            if (!hDlg) return;
            Press(hDlg, IDOK);
            // Once the server holds the request, the download is under way.
            for (int i = 0; i < 500 && server.Requests("/stuck/soft/pelto/PeltoTestSetup.exe") == 0;
                 ++i)
                ::Sleep(20);
            cancelled = true;
            Press(hDlg, IDCANCEL);
        });
        RunUpdateDialog();
    }
    PumpFor(100);
    theApp.m_pMainWnd = nullptr;
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(host.m_dlg.IsWindowVisible());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              ::GetFileAttributesW((TestProgramFolder() + L"PeltoTestSetup.exe").c_str()));
}

TEST(UpdateDialogTest, CheckForUpdatesAfterAFailedStartAsksTheServerNoMore) {
    CScratchFolder folder;
    CTestHttpServer server;
    ASSERT_TRUE(server.Running());
    server.Serve(std::string("/down") + kList, {500, "PeltoTestSetup.exe 9.0.0.0\r\n", false});
    CScopedUpdateRoot root(server.Root("down"));
    theApp.m_bHasUpdate = CheckForUpdateAtStart(folder.Path().c_str());
    EXPECT_FALSE(theApp.m_bHasUpdate);
    CMainWindowHost host;
    ASSERT_TRUE(host.m_bCreated);
    EXPECT_EQ(L"帮助(&H)", ItemText(host.m_dlg.m_hWnd, ID_HELP_BUTTON));
    host.Command(ID_HELP_CHECK_UPDATE);
    EXPECT_EQ(std::vector<std::wstring>{L"您使用的是最新版本！"}, RecordedMessages());
    EXPECT_EQ(1, server.Requests(std::string("/down") + kList));
}

TEST(UpdateDialogTest, DownloadsGoWhereTheyCanBeWritten) {
    CScratchFolder folder;
    CWebUpdate w;
    SetUpWebUpdate(w, folder.Path().c_str());
    EXPECT_EQ(std::wstring(w.GetLocalDir().GetString()), folder.Path());
    EXPECT_TRUE(folder.Files().empty()) << "the probe stayed";
    // A folder that takes no files: the user's temporary folder instead.
    wchar_t temp[MAX_PATH + 1] = L"";
    ::GetTempPathW(MAX_PATH + 1, temp);
    SetUpWebUpdate(w, (folder.Path() + L"no such folder\\").c_str());
    EXPECT_EQ(std::wstring(w.GetLocalDir().GetString()), std::wstring(temp) + L"Pelto\\");
    EXPECT_NE(::GetFileAttributesW(w.GetLocalDir()), INVALID_FILE_ATTRIBUTES);
}

TEST(AboutBoxTest, OpensFromTheSystemMenuAndTheHelpMenu) {
    CMainWindowHost host;
    ASSERT_TRUE(host.m_bCreated);
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
    } const ways[] = {{"system menu", WM_SYSCOMMAND, IDM_ABOUTBOX},
                      {"help menu", WM_COMMAND, ID_APP_ABOUT}};
    for (const Way& way : ways) {
        AboutSeen seen;
        {
            CDriverThread driver([&] { seen = DriveAboutBox(); });
            host.m_dlg.SendMessage(way.message, way.wParam, 0);
        }
        ASSERT_TRUE(seen.shown) << way.name;
        EXPECT_EQ(L"关于 Noram截图", seen.caption) << way.name;
        for (const wchar_t* text :
             {L"Noram截图 版本：2.1.0.1", L"一款简单易用的屏幕截图软件。", L"确定"})
            EXPECT_NE(seen.texts.end(), std::find(seen.texts.begin(), seen.texts.end(), text))
                << way.name << ": " << Narrow(text);
        EXPECT_EQ(CDlgAbout::kLinkAddress, seen.linkUrl) << way.name;
        EXPECT_EQ(L"访问Noram软件官网", seen.tip) << way.name;
    }
    // The maker's logo, bitmap 136, is 151 by 39 pixels.
    HBITMAP hLogo = static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(136), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(hLogo, nullptr);
    BITMAP bm = {};
    ::GetObjectW(hLogo, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 151);
    EXPECT_EQ(bm.bmHeight, 39);
    ::DeleteObject(hLogo);
}
