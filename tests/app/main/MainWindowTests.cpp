// The main window driven as the menu, the buttons and the hot keys drive it, checked by what a
// user sees: the preview, the selector, the check boxes, the menu marks and the message boxes.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "app/main/HotkeyTable.h"
#include "app/main/ProgramActions.h"
#include "app/pin/PinWnd.h"
#include "app/res/resource.h"
#include "tests/app/main/AppTestSupport.h"

namespace {

const COLORREF kPasted = RGB(200, 40, 30);

bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

// The preview's middle pixel.
COLORREF PreviewCentre(CMainWindowHost& host) {
    CPixels p = host.PreviewPixels();
    return p.cx ? p.At(p.cx / 2, p.cy / 2) : CLR_INVALID;
}

struct EffectRow {
    UINT nCommand;
    int nCheckBox;
    BOOL (CPeltoConfig::*pfnGet)() const;
};

const EffectRow kEffects[] = {
    {ID_OPT_GRAYSCALE, IDC_GRAYSCALE, &CPeltoConfig::GetGrayScale},
    {ID_OPT_NEGATE, IDC_NEGATE, &CPeltoConfig::GetNegate},
    {ID_OPT_FLIP_HORZ, IDC_FLIP_HORZ, &CPeltoConfig::GetFlipHorz},
    {ID_OPT_FLIP_VERT, IDC_FLIP_VERT, &CPeltoConfig::GetFlipVert},
    {ID_OPT_ROTATE, IDC_ROTATE, &CPeltoConfig::GetRotate},
    {ID_OPT_SCALE, IDC_SCALE, &CPeltoConfig::GetScale},
    {ID_OPT_SHEAR_ACROSS, IDC_SHEAR_ACROSS, &CPeltoConfig::GetShearAcross},
    {ID_OPT_SHEAR_DOWN, IDC_SHEAR_DOWN, &CPeltoConfig::GetShearDown},
    {ID_OPT_BLUR, IDC_BLUR, &CPeltoConfig::GetBlur},
    {ID_OPT_SHARPEN, IDC_SHARPEN, &CPeltoConfig::GetSharpen},
};

// Runs the commands while a second thread cancels every dialog of the process that comes up;
// true when one did.
bool AnyDialogDuring(HWND hMain, const std::function<void()>& run) {
    std::atomic<bool> bDone{false}, bSeen{false};
    {
        CDriverThread watcher([&] {
            while (!bDone) {
                for (HWND h : ProcessDialogs(hMain)) {
                    bSeen = true;
                    ::PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
                }
                ::Sleep(20);
            }
        });
        run();
        bDone = true;
    }
    return bSeen;
}

}  // namespace

TEST(MainWindowTest, CommandsDriveTheEngineThePreviewAndTheMarks) {
    CMainWindowHost host;
    ASSERT_TRUE(host.m_bCreated);
    CPeltoCore& core = host.m_dlg.Core();
    HWND hMain = host.m_dlg.m_hWnd;

    // No image: the placeholder covers the whole control, frame included.
    ASSERT_EQ(core.GetImage(), nullptr);
    CPixels empty = host.PreviewPixels();
    ASSERT_GT(empty.cx, 2);
    EXPECT_NE(Hex(empty.At(0, 0)), Hex(RGB(255, 0, 255))) << "corner left undrawn";
    EXPECT_NE(Hex(empty.At(empty.cx - 1, empty.cy - 1)), Hex(RGB(255, 0, 255)));

    // Saving with nothing held asks nothing.
    EXPECT_FALSE(AnyDialogDuring(hMain, [&] {
        for (UINT id : {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_SAVE_THUMB}) host.Command(id);
        PumpFor(100);
    })) << "a save without an image showed a dialog";

    // Paste a picture of one colour: the preview shows its thumbnail.
    ASSERT_TRUE(PutColourOnClipboard(320, 240, kPasted));
    host.Command(ID_EDIT_PASTE);
    ASSERT_NE(core.GetImage(), nullptr) << "paste gave no image";
    EXPECT_EQ(Hex(PreviewCentre(host)), Hex(kPasted));
    // Pinned: a pasted picture has no place of capture and goes to the screen's corner.
    host.Command(ID_EDIT_PIN);
    ASSERT_EQ(CPinWnd::Count(), 1);
    PumpFor(100);
    EXPECT_EQ(Hex(ScreenPixel(20, 20)), Hex(kPasted));
    CPinWnd::CloseAll();

    // "保存" to a place that no longer takes the file asks for another name instead of doing
    // nothing.
    {
        CTempFolder folder;
        const std::wstring path = folder.File(L"shot.png");
        ASSERT_TRUE(core.SaveImage(path.c_str(), FALSE));
        ::DeleteFileW(path.c_str());
        ::RemoveDirectoryW(folder.m_strPath.c_str());
        EXPECT_TRUE(AnyDialogDuring(hMain, [&] { host.Command(ID_FILE_SAVE); }))
            << "a failed save said nothing";
    }

    // Every effect toggle from the menu: member, check box, setting and menu mark follow.
    for (const EffectRow& row : kEffects) {
        SCOPED_TRACE(row.nCommand);
        host.Command(row.nCommand);
        EXPECT_TRUE(host.Checked(row.nCheckBox));
        EXPECT_TRUE((core.m_config.*row.pfnGet)());
        EXPECT_TRUE(host.MenuState(row.nCommand) & MF_CHECKED);
        host.Command(row.nCommand);
        EXPECT_FALSE(host.Checked(row.nCheckBox));
        EXPECT_FALSE((core.m_config.*row.pfnGet)());
        EXPECT_FALSE(host.MenuState(row.nCommand) & MF_CHECKED);
    }

    // Grey from the menu turns the preview grey at once; a click on the negate box negates it.
    host.Command(ID_OPT_GRAYSCALE);
    COLORREF grey = PreviewCentre(host);
    EXPECT_TRUE(IsGrey(grey)) << Hex(grey);
    ::SendDlgItemMessageW(hMain, IDC_GRAYSCALE, BM_CLICK, 0, 0);
    ::SendDlgItemMessageW(hMain, IDC_NEGATE, BM_CLICK, 0, 0);
    host.Idle();
    EXPECT_FALSE(core.m_config.GetGrayScale());
    EXPECT_TRUE(core.m_config.GetNegate());
    EXPECT_TRUE(host.MenuState(ID_OPT_NEGATE) & MF_CHECKED);
    EXPECT_EQ(Hex(PreviewCentre(host)), Hex(RGB(255 - 200, 255 - 40, 255 - 30)));
    ::SendDlgItemMessageW(hMain, IDC_NEGATE, BM_CLICK, 0, 0);

    // Automatic copy toggles its setting and its mark.
    BOOL bAutoCopy = core.m_config.GetAutoCopy();
    host.Command(ID_OPT_AUTO_COPY);
    EXPECT_NE(core.m_config.GetAutoCopy(), bAutoCopy);
    EXPECT_EQ((host.MenuState(ID_OPT_AUTO_COPY) & MF_CHECKED) != 0, !bAutoCopy);
    host.Command(ID_OPT_AUTO_COPY);

    // A capture of the whole screen: the selector and the radio mark move to it.
    ::SendDlgItemMessageW(hMain, IDC_SNAP_TYPE, CB_SETCURSEL, 2, 0);
    Gdiplus::Image* pBefore = core.GetImage();
    host.Command(ID_SNAP_FULLSCREEN);
    EXPECT_NE(core.GetImage(), pBefore);
    EXPECT_EQ(host.Selector(), 0);
    EXPECT_TRUE(host.MenuRadio(ID_SNAP_FULLSCREEN));
    EXPECT_FALSE(host.MenuRadio(ID_SNAP_SELECT_RECT));
    EXPECT_TRUE(SaveWindowShot(hMain, L"app_main_window.png"));

    // The object pick's item shows its mark like its sisters.
    core.m_config.SetSnapMode(4);
    host.Idle();
    EXPECT_TRUE(host.MenuRadio(ID_SNAP_WIN_OBJ));
    EXPECT_FALSE(host.MenuRadio(ID_SNAP_FULLSCREEN));

    // New capture on "选定区域", cancelled: the old picture stays, the selector too.
    ::SendDlgItemMessageW(hMain, IDC_SNAP_TYPE, CB_SETCURSEL, 5, 0);
    pBefore = core.GetImage();
    std::atomic<bool> bOverlaySeen{false};
    {
        CDriverThread driver([&] {
            HWND hOverlay = WaitForProcessDialog(1031);
            bOverlaySeen = hOverlay != nullptr;
            if (hOverlay) ::PostMessageW(hOverlay, WM_COMMAND, IDCANCEL, 0);
        });
        host.Command(ID_NEW_SNAP);
    }
    EXPECT_TRUE(bOverlaySeen) << "the region overlay never showed";
    EXPECT_EQ(core.GetImage(), pBefore);
    EXPECT_EQ(host.Selector(), 5);

    // Clearing brings the placeholder back.
    host.Command(ID_EDIT_CLEAR);
    EXPECT_EQ(core.GetImage(), nullptr);
    EXPECT_EQ(host.PreviewPixels(), empty);
    EXPECT_TRUE(RecordedMessages().empty()) << "unexpected message box";
}

TEST(MainWindowTest, HotkeysRegisterReportAndDispatch) {
    struct ModifierCase {
        WORD wControl;
        UINT nRegistered;
    };
    const ModifierCase kModifiers[] = {
        {0, 0},
        {HOTKEYF_SHIFT, MOD_SHIFT},
        {HOTKEYF_ALT, MOD_ALT},
        {HOTKEYF_CONTROL, MOD_CONTROL},
        {HOTKEYF_EXT, 0},
        {HOTKEYF_SHIFT | HOTKEYF_ALT | HOTKEYF_EXT, MOD_SHIFT | MOD_ALT},
        {0x0F, MOD_SHIFT | MOD_CONTROL | MOD_ALT}};
    for (const ModifierCase& c : kModifiers)
        EXPECT_EQ(HotkeyModifiersForRegistration(c.wControl), c.nRegistered) << c.wControl;

    // Another window holds F3; F4 is set equal to F5; the object pick's key is cleared.
    CWnd holder;
    ASSERT_TRUE(
        holder.CreateEx(0, nullptr, L"hot-key holder", WS_POPUP, CRect(0, 0, 1, 1), nullptr, 0));
    ASSERT_TRUE(::RegisterHotKey(holder.m_hWnd, 77, 0, VK_F3));
    CPeltoConfig config = QuietConfig();
    config.SetCurrentWinHotkey(0, VK_F5);
    config.SetWinObjHotkey(0, 0);
    {
        CMainWindowHost host(config);
        ASSERT_TRUE(host.m_bCreated);
        std::vector<std::wstring> expected = {L"注册捕捉<活动程序窗口>热键失败,请更换热键",
                                              L"注册捕捉<活动程序客户区>热键失败,请更换热键"};
        EXPECT_EQ(RecordedMessages(), expected);
        // The keys that worked are held by the main window now.
        for (UINT vk : {VK_SNAPSHOT, VK_F5, VK_F7, VK_F8}) {
            EXPECT_FALSE(::RegisterHotKey(holder.m_hWnd, 78, 0, vk)) << "key " << vk;
            ::UnregisterHotKey(holder.m_hWnd, 78);
        }
        // The cleared key was left alone.
        EXPECT_TRUE(::RegisterHotKey(holder.m_hWnd, 78, 0, VK_F6));
        ::UnregisterHotKey(holder.m_hWnd, 78);

        // Ctrl+Print Screen captures the whole screen whatever the selector shows.
        CPeltoCore& core = host.m_dlg.Core();
        ::SendDlgItemMessageW(host.m_dlg.m_hWnd, IDC_SNAP_TYPE, CB_SETCURSEL, 3, 0);
        host.m_dlg.SendMessage(WM_HOTKEY, 1002, 0);
        EXPECT_NE(core.GetImage(), nullptr);
        EXPECT_EQ(host.Selector(), 0);
        // Print Screen repeats the selector's type (whole screen again): a new picture.
        Gdiplus::Image* pFirst = core.GetImage();
        host.m_dlg.SendMessage(WM_HOTKEY, 1001, 0);
        EXPECT_NE(core.GetImage(), pFirst);
        // F8 hides and shows.
        host.m_dlg.ShowWindow(SW_SHOW);
        host.m_dlg.SendMessage(WM_HOTKEY, 1008, 0);
        EXPECT_FALSE(host.m_dlg.IsWindowVisible());
        host.m_dlg.SendMessage(WM_HOTKEY, 1008, 0);
        EXPECT_TRUE(host.m_dlg.IsWindowVisible());
        // An unknown id does nothing.
        pFirst = core.GetImage();
        host.m_dlg.SendMessage(WM_HOTKEY, 1000, 0);
        EXPECT_EQ(core.GetImage(), pFirst);
    }
    ::UnregisterHotKey(holder.m_hWnd, 77);
    // Closed, the window let every key go.
    EXPECT_TRUE(::RegisterHotKey(holder.m_hWnd, 79, MOD_CONTROL, VK_SNAPSHOT));
    ::UnregisterHotKey(holder.m_hWnd, 79);
    holder.DestroyWindow();
}

TEST(MainWindowTest, EditCommandQuotesTheImageOrOpensItDirectly) {
    struct Case {
        const wchar_t* editor;
        const wchar_t* path;
        const wchar_t* file;
        const wchar_t* parameters;
        const wchar_t* folder;
    };
    const Case kCases[] = {
        {L"mspaint.exe", L"C:\\My Pictures\\shot 1.png", L"mspaint.exe",
         L"\"C:\\My Pictures\\shot 1.png\"", L"C:\\My Pictures\\"},
        {L"C:\\Tools\\edit.exe", L"", L"C:\\Tools\\edit.exe", L"", L""},
        {L"", L"C:\\a b\\c.bmp", L"C:\\a b\\c.bmp", L"", L"C:\\a b\\"},
        {L"", L"", L"", L"", L""},
        {L"", L"\\\\server\\share/x.png", L"\\\\server\\share/x.png", L"", L"\\\\server\\share/"},
        {L"e.exe", L"c.png", L"e.exe", L"\"c.png\"", L""},
    };
    for (const Case& c : kCases) {
        EditImageCommand cmd = MakeEditImageCommand(c.editor, c.path);
        EXPECT_EQ(cmd.file, c.file);
        EXPECT_EQ(cmd.parameters, c.parameters);
        EXPECT_EQ(cmd.folder, c.folder) << "for " << CString(c.path).ToUtf8();
    }
}
