// The options sheet as a user meets it: opened from the main window's command, driven from a
// second thread through the sheet's own messages, checked by what lands in the settings and in
// the main window's hot keys afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>

#include "app/res/resource.h"
#include "tests/app/main/AppTestSupport.h"

namespace {

const wchar_t kCaption[] = L"参数设置";

HWND WaitForSheet() {
    for (int i = 0; i < 500; ++i) {
        HWND h = ::FindWindowW(L"#32770", kCaption);
        if (h && ::IsWindowVisible(h) && ::SendMessageW(h, PSM_GETCURRENTPAGEHWND, 0, 0)) return h;
        ::Sleep(20);
    }
    return nullptr;
}

HWND CurrentPage(HWND hSheet) {
    return reinterpret_cast<HWND>(::SendMessageW(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

std::wstring CurrentTabText(HWND hSheet) {
    HWND hTab = reinterpret_cast<HWND>(::SendMessageW(hSheet, PSM_GETTABCONTROL, 0, 0));
    int nSel = static_cast<int>(::SendMessageW(hTab, TCM_GETCURSEL, 0, 0));
    wchar_t text[64] = L"";
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ::SendMessageW(hTab, TCM_GETITEMW, static_cast<WPARAM>(nSel), reinterpret_cast<LPARAM>(&item));
    return text;
}

// The page that holds the control, as the sheet's page index (or -1).
int PageOf(HWND hSheet, int nCtrlId) {
    HWND hPage = CurrentPage(hSheet);
    if (!hPage || !::GetDlgItem(hPage, nCtrlId)) return -1;
    HWND hTab = reinterpret_cast<HWND>(::SendMessageW(hSheet, PSM_GETTABCONTROL, 0, 0));
    return static_cast<int>(::SendMessageW(hTab, TCM_GETCURSEL, 0, 0));
}

void SelectPage(HWND hSheet, int nPage) { ::SendMessageW(hSheet, PSM_SETCURSEL, nPage, 0); }

bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 250; ++i) {
        if (done()) return true;
        ::Sleep(20);
    }
    return done();
}

void Press(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
}

// True when this thread could take the key, so that no other window holds it.
bool KeyIsFree(UINT nModifiers, UINT vk) {
    if (!::RegisterHotKey(nullptr, 0x7000, nModifiers, vk)) return false;
    ::UnregisterHotKey(nullptr, 0x7000);
    return true;
}

WORD HotkeyOf(HWND hPage, int nCtrlId) {
    return LOWORD(::SendDlgItemMessageW(hPage, nCtrlId, HKM_GETHOTKEY, 0, 0));
}

CPeltoConfig DistinctConfig() {
    CPeltoConfig c = QuietConfig();
    c.SetKeepOnTop(FALSE);
    c.SetSnapDelayTime(1234);
    c.SetEditAppPath(L"C:\\Tools\\edit.exe");
    c.SetRotateAngle(45);
    c.SetScaleFactor(150);
    c.SetShearAcrossAmout(5);
    c.SetShearDownAmout(7);
    c.SetBlurFactor(3);
    c.SetSharpenFactor(4);
    c.SetNewSnapHotkey(HOTKEYF_CONTROL | HOTKEYF_ALT, 'N');
    return c;
}

// Everything the sheet shows, as one comparable text.
std::wstring Describe(CPeltoConfig& c) {
    std::wstring s =
        std::to_wstring(c.GetPlaySnapSound()) + L"," + std::to_wstring(c.GetHideMainWnd()) + L"," +
        std::to_wstring(c.GetSnapOnStart()) + L"," + std::to_wstring(c.GetSnapDelayTime()) + L"," +
        std::to_wstring(c.GetKeepOnTop()) + L"," + c.GetEditAppPath().GetString() + L"," +
        std::to_wstring(c.GetRotateAngle()) + L"," + std::to_wstring(c.GetScaleFactor()) + L"," +
        std::to_wstring(c.GetShearAcrossAmout()) + L"," + std::to_wstring(c.GetShearDownAmout()) +
        L"," + std::to_wstring(c.GetBlurFactor()) + L"," + std::to_wstring(c.GetSharpenFactor());
    for (auto get : {&CPeltoConfig::GetNewSnapHotkey, &CPeltoConfig::GetFullScreenHotkey,
                     &CPeltoConfig::GetActiveWinHotkey, &CPeltoConfig::GetCurrentWinHotkey,
                     &CPeltoConfig::GetWinClientHotkey, &CPeltoConfig::GetWinObjHotkey,
                     &CPeltoConfig::GetSelectRectHotkey, &CPeltoConfig::GetShowHideHotkey}) {
        WORD m = 0, k = 0;
        (c.*get)(m, k);
        s += L"," + std::to_wstring(m) + L"+" + std::to_wstring(k);
    }
    return s;
}

}  // namespace

TEST(OptionsSheetTest, OpensOnImageAndOkWithoutChangesWritesTheSameValues) {
    CMainWindowHost host(DistinctConfig());
    ASSERT_TRUE(host.m_bCreated);
    CPeltoConfig& config = host.m_dlg.Core().m_config;
    std::wstring before = Describe(config);
    std::wstring tab;
    bool bImageControls = false, bNoApply = false;
    {
        CDriverThread driver([&] {
            HWND hSheet = WaitForSheet();
            if (!hSheet) return;
            tab = CurrentTabText(hSheet);
            ::RedrawWindow(hSheet, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
            SaveWindowShot(hSheet, L"app_options_sheet.png");
            bImageControls = ::GetDlgItem(CurrentPage(hSheet), IDC_OPT_ROTATE_ANGLE) != nullptr;
            HWND hApply = ::GetDlgItem(hSheet, 0x3021);  // the sheet's Apply button
            bNoApply = !hApply || !::IsWindowVisible(hApply);
            ::SendMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        host.Command(ID_OPT_SETTINGS);
    }
    EXPECT_EQ(tab, L"图像");
    EXPECT_TRUE(bImageControls);
    EXPECT_TRUE(bNoApply);
    EXPECT_EQ(Describe(config), before);
    EXPECT_FALSE(host.m_dlg.GetExStyle() & WS_EX_TOPMOST) << "KeepOnTop off leaves the band";
    EXPECT_FALSE(KeyIsFree(MOD_CONTROL | MOD_ALT, 'N')) << "keys not registered again";
    EXPECT_TRUE(RecordedMessages().empty());
}

TEST(OptionsSheetTest, ValuesAreValidatedWhenLeavingAPageAndOnOk) {
    struct Row {
        int nPage;
        int nCtrlId;
        const wchar_t* text;
        const wchar_t* message;  // null: accepted
    };
    const Row kRows[] = {
        {0, IDC_OPT_SNAP_DELAY, L"15001", L"请输入一个介于 0 和 15000 之间的整数。"},
        {0, IDC_OPT_SNAP_DELAY, L"abc", L"请输入一个正整数。"},
        {0, IDC_OPT_SNAP_DELAY, L"-1", L"请输入一个正整数。"},
        {0, IDC_OPT_SNAP_DELAY, L"15000", nullptr},
        {1, IDC_OPT_ROTATE_ANGLE, L"-361", L"请输入一个介于 -360 和 360 之间的整数。"},
        {1, IDC_OPT_ROTATE_ANGLE, L"12x", L"请输入一个整数。"},
        {1, IDC_OPT_ROTATE_ANGLE, L"-360", nullptr},
        {1, IDC_OPT_BLUR_FACTOR, L"", L"请输入一个整数。"},
        {1, IDC_OPT_BLUR_FACTOR, L"-99999", nullptr},
        {1, IDC_OPT_EDIT_APP_PATH, L"C:\\a<b.exe",
         L"图像编辑程序的路径不能包含“<”或“>”，也不能以空格开头或结尾。"},
        {1, IDC_OPT_EDIT_APP_PATH, L"C:\\a.exe ",
         L"图像编辑程序的路径不能包含“<”或“>”，也不能以空格开头或结尾。"},
        {1, IDC_OPT_EDIT_APP_PATH, L"C:\\My Tools\\edit.exe", nullptr},
    };
    CMainWindowHost host(DistinctConfig());
    ASSERT_TRUE(host.m_bCreated);
    std::vector<std::string> failures;
    bool bOkRefused = false;
    {
        CDriverThread driver([&] {
            HWND hSheet = WaitForSheet();
            if (!hSheet) return failures.push_back("no sheet");
            for (const Row& row : kRows) {
                SelectPage(hSheet, row.nPage);
                ::SetDlgItemTextW(CurrentPage(hSheet), row.nCtrlId, row.text);
                RecordedMessages().clear();
                SelectPage(hSheet, 2);  // leaving the page validates it
                bool bStayed = PageOf(hSheet, row.nCtrlId) == row.nPage;
                std::wstring got = RecordedMessages().empty() ? L"" : RecordedMessages().back();
                if (bStayed != (row.message != nullptr) || got != (row.message ? row.message : L""))
                    failures.push_back("row " + std::to_string(&row - kRows));
            }
            // OK with a bad value keeps the sheet on its page; corrected, OK closes it.
            SelectPage(hSheet, 1);
            ::SetDlgItemTextW(CurrentPage(hSheet), IDC_OPT_ROTATE_ANGLE, L"361");
            RecordedMessages().clear();
            ::SendMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
            bOkRefused = WaitUntil([&] {
                             ::SendMessageW(hSheet, WM_NULL, 0, 0);
                             return !RecordedMessages().empty();
                         }) &&
                         ::IsWindow(hSheet) && PageOf(hSheet, IDC_OPT_ROTATE_ANGLE) == 1;
            ::SetDlgItemTextW(CurrentPage(hSheet), IDC_OPT_ROTATE_ANGLE, L"-360");
            ::SendMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        host.Command(ID_OPT_SETTINGS);
    }
    EXPECT_EQ(failures, std::vector<std::string>());
    EXPECT_TRUE(bOkRefused);
    CPeltoConfig& config = host.m_dlg.Core().m_config;
    EXPECT_EQ(config.GetSnapDelayTime(), 15000u);
    EXPECT_EQ(config.GetRotateAngle(), -360);
    EXPECT_EQ(config.GetBlurFactor(), -99999);
    EXPECT_EQ(std::wstring(config.GetEditAppPath().GetString()), L"C:\\My Tools\\edit.exe");
}

TEST(OptionsSheetTest, HotkeysAreTakenOverStoredRegisteredAndShownAgain) {
    CMainWindowHost host(DistinctConfig());
    ASSERT_TRUE(host.m_bCreated);
    CPeltoConfig& config = host.m_dlg.Core().m_config;
    ASSERT_TRUE(PutColourOnClipboard(64, 48, RGB(200, 40, 30)));
    host.Command(ID_EDIT_PASTE);

    bool bF3FreeWhileOpen = false, bPrintScreenCaught = false;
    {
        CDriverThread driver([&] {
            HWND hSheet = WaitForSheet();
            if (!hSheet) return;
            bF3FreeWhileOpen = KeyIsFree(0, VK_F3);
            SelectPage(hSheet, 2);
            HWND hPage = CurrentPage(hSheet);
            ::SendDlgItemMessageW(hPage, IDC_HK_ACTIVE_WIN, HKM_SETHOTKEY,
                                  MAKEWORD(VK_F3, HOTKEYF_SHIFT), 0);
            // Print Screen, pressed with another page in front, lands in the first control.
            SelectPage(hSheet, 0);
            Press(VK_SNAPSHOT);
            bPrintScreenCaught =
                WaitUntil([&] { return HotkeyOf(hPage, IDC_HK_NEW_SNAP) == VK_SNAPSHOT; });
            ::SendMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        host.Command(ID_OPT_SETTINGS);
    }
    EXPECT_TRUE(bF3FreeWhileOpen) << "the main window kept its keys while the sheet was open";
    EXPECT_TRUE(bPrintScreenCaught);
    WORD wMod = 0, wVk = 0;
    config.GetActiveWinHotkey(wMod, wVk);
    EXPECT_EQ(wMod, 1);
    EXPECT_EQ(wVk, 0x72);
    config.GetNewSnapHotkey(wMod, wVk);
    EXPECT_EQ(wMod, 0);
    EXPECT_EQ(wVk, VK_SNAPSHOT);
    EXPECT_FALSE(KeyIsFree(MOD_SHIFT, VK_F3)) << "Shift+F3 not registered";
    EXPECT_TRUE(KeyIsFree(0, VK_F3));
    EXPECT_TRUE(RecordedMessages().empty());

    // Shown again next time; an edit then cancelled changes nothing, yet the keys come back and
    // the preview is rebuilt from the settings (grey switched on behind the window's back).
    std::wstring before = Describe(config);
    config.SetGrayScale(TRUE);
    WORD wShown = 0;
    {
        CDriverThread driver([&] {
            HWND hSheet = WaitForSheet();
            if (!hSheet) return;
            SelectPage(hSheet, 2);
            wShown = HotkeyOf(CurrentPage(hSheet), IDC_HK_ACTIVE_WIN);
            ::SendDlgItemMessageW(CurrentPage(hSheet), IDC_HK_ACTIVE_WIN, HKM_SETHOTKEY, VK_F9, 0);
            SelectPage(hSheet, 0);
            ::SetDlgItemTextW(CurrentPage(hSheet), IDC_OPT_SNAP_DELAY, L"777");
            ::SendMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        });
        host.Command(ID_OPT_SETTINGS);
    }
    EXPECT_EQ(wShown, MAKEWORD(VK_F3, HOTKEYF_SHIFT));
    EXPECT_EQ(Describe(config), before);
    EXPECT_FALSE(KeyIsFree(MOD_SHIFT, VK_F3)) << "keys not registered again after cancel";
    CPixels preview = host.PreviewPixels();
    ASSERT_GT(preview.cx, 0);
    COLORREF c = preview.At(preview.cx / 2, preview.cy / 2);
    EXPECT_TRUE(GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c)) << Hex(c);
}
