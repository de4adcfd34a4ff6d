// The tray icon as the main window owns it, driven through the messages the taskbar sends: the
// callback for clicks, the re-creation broadcast; the menu is read and answered from a second
// thread while it is open.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>

#include "app/res/resource.h"
#include "tests/app/main/AppTestSupport.h"

namespace {

// The main window's icon object, reached the way a derived class may.
struct TrayAccess : CPeltoDlg {
    static CTrayNotifyIcon& Of(CPeltoDlg& dlg) { return dlg.*(&TrayAccess::m_trayIcon); }
};

HWND WaitForOpenMenu() {
    for (int i = 0; i < 500; ++i) {
        HWND h = ::FindWindowW(L"#32768", nullptr);
        if (h && ::IsWindowVisible(h)) return h;
        ::Sleep(20);
    }
    return nullptr;
}

bool PumpUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 250 && !done(); ++i) PumpFor(20);
    return done();
}

// Whether the notification area still knows the icon: changing it only works while it is there.
bool IconPresent(const NOTIFYICONDATAW& nid) {
    NOTIFYICONDATAW probe = nid;
    probe.uFlags = NIF_TIP;
    return ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
}

}  // namespace

TEST(TrayIconTest, MenuClicksAndTaskbarRestartReachTheMainWindow) {
    CMainWindowHost host;
    ASSERT_TRUE(host.m_bCreated);
    CPeltoDlg& dlg = host.m_dlg;
    CTrayNotifyIcon& tray = TrayAccess::Of(dlg);
    ASSERT_TRUE(tray.IsCreated());
    EXPECT_TRUE(tray.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_TRUE(tray.IsKindOf(RUNTIME_CLASS(CTrayNotifyIcon)));
    const std::wstring tip = dlg.Core().m_config.GetAppName().GetString();
    EXPECT_EQ(std::wstring(tray.IconData().szTip), tip);
    EXPECT_EQ(tray.IconData().uID, static_cast<UINT>(IDR_TRAY_MENU));
    EXPECT_TRUE(IconPresent(tray.IconData()));

    // Right button: the menu opens with show/hide as its default item; Escape closes it, and
    // "整个屏幕(&F)" chosen the second time captures as the main menu does.
    struct MenuRun {
        UINT nKeyMessage;
        WPARAM key;
        bool bCaptures;
    };
    const MenuRun kRuns[] = {{WM_KEYDOWN, VK_ESCAPE, false}, {WM_CHAR, L'f', true}};
    for (const MenuRun& run : kRuns) {
        UINT nDefault = 0;
        wchar_t text[64] = L"";
        {
            CDriverThread driver([&] {
                HWND hMenuWnd = WaitForOpenMenu();
                if (!hMenuWnd) return;
                HMENU hMenu = reinterpret_cast<HMENU>(::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0));
                nDefault = ::GetMenuDefaultItem(hMenu, FALSE, 0);
                ::GetMenuStringW(hMenu, 0, text, 64, MF_BYPOSITION);
                ::PostMessageW(hMenuWnd, run.nKeyMessage, run.key, 0);
            });
            EXPECT_EQ(dlg.SendMessage(WM_TRAYNOTIFY, IDR_TRAY_MENU, WM_RBUTTONUP), 1);
        }
        EXPECT_EQ(nDefault, static_cast<UINT>(ID_SHOW_HIDE));
        EXPECT_EQ(std::wstring(text).substr(0, 9), L"显示/隐藏(&S)");
        bool bCaptured = PumpUntil([&] { return dlg.Core().GetImage() != nullptr; });
        EXPECT_EQ(bCaptured, run.bCaptures) << run.key;
    }
    host.Idle();
    EXPECT_EQ(host.Selector(), 0);
    EXPECT_TRUE(host.MenuRadio(ID_SNAP_FULLSCREEN));

    // Double click hides, a second one shows; a callback for another icon does nothing.
    dlg.ShowWindow(SW_SHOW);
    struct Click {
        WPARAM nIconId;
        bool bVisibleAfter;
    };
    const Click kClicks[] = {{IDR_TRAY_MENU, false},
                             {IDR_TRAY_MENU + 1, false},
                             {IDR_TRAY_MENU, true},
                             {IDR_TRAY_MENU + 1, true}};
    for (const Click& click : kClicks) {
        LRESULT r = dlg.SendMessage(WM_TRAYNOTIFY, click.nIconId, WM_LBUTTONDBLCLK);
        EXPECT_EQ(r, click.nIconId == IDR_TRAY_MENU ? 1 : 0);
        EXPECT_EQ(dlg.IsWindowVisible() != FALSE, click.bVisibleAfter) << click.nIconId;
    }

    // While a dialog of ours holds the main window disabled, neither the menu nor the double
    // click starts anything. A menu that opens anyway is closed, so the call comes back.
    ::EnableWindow(dlg.m_hWnd, FALSE);
    for (LPARAM mouse : {WM_RBUTTONUP, WM_LBUTTONDBLCLK}) {
        std::atomic<bool> bReturned{false}, bMenuOpened{false};
        LRESULT r = -1;
        {
            CDriverThread driver([&] {
                while (!bReturned) {
                    HWND h = ::FindWindowW(L"#32768", nullptr);
                    if (h && ::IsWindowVisible(h)) {
                        bMenuOpened = true;
                        ::PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 0);
                    }
                    ::Sleep(10);
                }
            });
            r = dlg.SendMessage(WM_TRAYNOTIFY, IDR_TRAY_MENU, mouse);
            bReturned = true;
        }
        EXPECT_EQ(r, 0) << mouse;
        EXPECT_FALSE(bMenuOpened);
        EXPECT_TRUE(dlg.IsWindowVisible()) << "the double click hid the window";
    }
    ::EnableWindow(dlg.m_hWnd, TRUE);

    // The taskbar started again without the icon: the broadcast brings it back, same tip.
    NOTIFYICONDATAW gone = tray.IconData();
    gone.uFlags = 0;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &gone));
    ASSERT_FALSE(IconPresent(tray.IconData()));
    HWND hResurrect = ::FindWindowW(nullptr, L"CTrayNotifyIcon Resurrection Notification Window");
    ASSERT_NE(hResurrect, nullptr);
    ::SendMessageW(hResurrect, g_nTaskbarCreatedMsg, 0, 0);
    EXPECT_TRUE(IconPresent(tray.IconData()));
    EXPECT_EQ(std::wstring(tray.IconData().szTip), tip);
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST(TrayIconTest, TipIsCutToTheField) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"tray owner", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0));
    HICON hIcon = ::LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    for (size_t n : {size_t(0), size_t(127), size_t(128), size_t(300)}) {
        std::wstring tip(n, L'提');
        CTrayNotifyIcon icon;
        ASSERT_TRUE(icon.Create(&owner, 7, tip.c_str(), hIcon, WM_APP)) << n;
        const NOTIFYICONDATAW& nid = icon.IconData();
        EXPECT_EQ(std::wstring(nid.szTip), tip.substr(0, 127)) << n;
        EXPECT_EQ(nid.cbSize, sizeof(NOTIFYICONDATAW));
        EXPECT_EQ(nid.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    }
    owner.DestroyWindow();
}
