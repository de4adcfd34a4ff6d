// The program-window list and the chooser, with real top-level windows on the test display.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "framework/ResourceModule.h"
#include "lib/snap/DlgActiveWin.h"
#include "lib/snap/ProgramWindows.h"

namespace {

// A plain top-level window that the test owns.
struct TestWindow {
    HWND h = nullptr;
    TestWindow(const wchar_t* title, int w, int hgt, int show = SW_SHOWNOACTIVATE) {
        h = CreateWindowExW(0, L"STATIC", title, WS_POPUP, 50, 50, w, hgt, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
        if (show != SW_HIDE) ShowWindow(h, show);
    }
    ~TestWindow() { DestroyWindow(h); }
};

int IndexOf(const CProgramWindowList& list, HWND h) {
    for (int i = 0; i < list.nCount; ++i)
        if (list.entries[static_cast<size_t>(i)].hWnd == h) return i;
    return -1;
}

}  // namespace

TEST(ProgramWindowListTest, KeepsOnlyVisibleRestoredTitledWindowsOfSomeSize) {
    TestWindow normal(L"普通窗口", 100, 80);
    TestWindow hidden(L"隐藏窗口", 100, 80, SW_HIDE);
    TestWindow minimised(L"最小化窗口", 100, 80, SW_SHOWMINNOACTIVE);
    TestWindow thin(L"窄窗口", 4, 80);
    TestWindow flat(L"扁窗口", 80, 4);
    TestWindow smallest(L"五像素窗口", 5, 5);
    TestWindow untitled(L"", 100, 80);
    CProgramWindowList list;
    list.Build();
    EXPECT_EQ(list.nCount, static_cast<int>(list.entries.size()));
    EXPECT_GE(IndexOf(list, normal.h), 0);
    EXPECT_GE(IndexOf(list, smallest.h), 0);
    EXPECT_EQ(IndexOf(list, hidden.h), -1);
    EXPECT_EQ(IndexOf(list, minimised.h), -1);
    EXPECT_EQ(IndexOf(list, thin.h), -1);
    EXPECT_EQ(IndexOf(list, flat.h), -1);
    EXPECT_EQ(IndexOf(list, untitled.h), -1);
    int i = IndexOf(list, normal.h);
    ASSERT_GE(i, 0);
    EXPECT_EQ(list.entries[static_cast<size_t>(i)].strTitle, L"普通窗口");
}

TEST(ProgramWindowListTest, FollowsTheZOrderAndCutsLongTitles) {
    CString longTitle(L'长', 400);
    TestWindow lower(L"下面", 60, 60);
    TestWindow upper(longTitle, 60, 60);
    SetWindowPos(upper.h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CProgramWindowList list;
    list.Build();
    int iUpper = IndexOf(list, upper.h), iLower = IndexOf(list, lower.h);
    ASSERT_GE(iUpper, 0);
    ASSERT_GE(iLower, 0);
    EXPECT_LT(iUpper, iLower);
    EXPECT_EQ(list.entries[static_cast<size_t>(iUpper)].strTitle.GetLength(), 259);
}

TEST(ProgramWindowListTest, HoldsAtMost254Entries) {
    std::vector<std::unique_ptr<TestWindow>> many;
    for (int i = 0; i < 260; ++i) {
        CString title;
        title.Format(L"窗口 %d", i);
        many.emplace_back(new TestWindow(title, 10, 10));
    }
    CProgramWindowList list;
    list.Build();
    EXPECT_EQ(list.nCount, 254);
    EXPECT_EQ(list.entries.size(), 254u);
}

namespace {

// Runs the chooser from the library's resources while a timer plays the user.
struct ChooserRun {
    std::function<void(HWND dlg, HWND listBox)> script;
    static ChooserRun* current;

    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        HWND dlg = FindWindowW(nullptr, L"活动程序窗口");
        if (!dlg || !current) return;
        KillTimer(nullptr, id);
        current->script(dlg, GetDlgItem(dlg, 4000));
    }

    INT_PTR Run(CDlgActiveWin& chooser) {
        current = this;
        CFxResourceScope scope(GetModuleHandleW(L"PeltoLib.dll"));
        UINT_PTR t = SetTimer(nullptr, 0, 50, &ChooserRun::Tick);
        INT_PTR r = chooser.DoModal();
        KillTimer(nullptr, t);
        current = nullptr;
        return r;
    }
};
ChooserRun* ChooserRun::current = nullptr;

std::vector<CString> Items(HWND listBox) {
    std::vector<CString> items;
    int n = static_cast<int>(SendMessageW(listBox, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        wchar_t buf[300] = L"";
        SendMessageW(listBox, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
        items.push_back(buf);
    }
    return items;
}

void Notify(HWND dlg, HWND listBox, UINT code) {
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(4000, code), reinterpret_cast<LPARAM>(listBox));
}

}  // namespace

TEST(ActiveWindowChooserTest, ListsAllButTheLowestAndChoosesByDoubleClick) {
    TestWindow lowest(L"丙窗口", 120, 90);
    TestWindow a(L"甲窗口", 120, 90);
    TestWindow b(L"乙窗口", 120, 90);
    SetWindowPos(lowest.h, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    CProgramWindowList expected;
    std::vector<CString> items;
    HWND foregroundAfterSelect = nullptr;
    HWND itemData = nullptr;
    CDlgActiveWin chooser;
    ChooserRun run;
    run.script = [&](HWND dlg, HWND listBox) {
        expected.Build();
        // The list was made before the dialog showed itself.
        auto self =
            std::find_if(expected.entries.begin(), expected.entries.end(),
                         [dlg](const CProgramWindowList::Entry& e) { return e.hWnd == dlg; });
        if (self != expected.entries.end()) {
            expected.entries.erase(self);
            --expected.nCount;
        }
        items = Items(listBox);
        int target = -1;
        for (size_t i = 0; i < items.size(); ++i)
            if (items[i] == L"甲窗口") target = static_cast<int>(i);
        if (target < 0) {
            PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        itemData = reinterpret_cast<HWND>(SendMessageW(listBox, LB_GETITEMDATA, target, 0));
        SendMessageW(listBox, LB_SETCURSEL, target, 0);
        Notify(dlg, listBox, LBN_SELCHANGE);
        foregroundAfterSelect = GetForegroundWindow();
        Notify(dlg, listBox, LBN_DBLCLK);
    };
    EXPECT_EQ(run.Run(chooser), IDOK);
    // Every program window but the lowest one is offered, in z-order.
    ASSERT_GE(expected.nCount, 3);
    EXPECT_EQ(expected.entries.back().hWnd, lowest.h);
    EXPECT_EQ(static_cast<int>(items.size()), expected.nCount - 1);
    for (size_t i = 0; i < items.size(); ++i) EXPECT_EQ(items[i], expected.entries[i].strTitle);
    EXPECT_EQ(itemData, a.h);
    EXPECT_EQ(foregroundAfterSelect, a.h);
    EXPECT_EQ(chooser.GetSelWnd(), a.h);
    EXPECT_EQ(chooser.m_strWndTitle, L"甲窗口");
}

TEST(ActiveWindowChooserTest, CancelChoosesNothing) {
    TestWindow a(L"甲窗口", 120, 90);
    CDlgActiveWin chooser;
    ChooserRun run;
    run.script = [](HWND dlg, HWND) { PostMessageW(dlg, WM_COMMAND, IDCANCEL, 0); };
    EXPECT_EQ(run.Run(chooser), IDCANCEL);
    EXPECT_EQ(chooser.GetSelWnd(), nullptr);
    EXPECT_TRUE(chooser.m_strWndTitle.IsEmpty());
}

TEST(ActiveWindowChooserTest, OkWithNothingSelectedChoosesNothing) {
    CDlgActiveWin chooser;
    ChooserRun run;
    run.script = [](HWND dlg, HWND listBox) {
        SendMessageW(listBox, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        PostMessageW(dlg, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(run.Run(chooser), IDOK);
    EXPECT_EQ(chooser.GetSelWnd(), nullptr);
}
