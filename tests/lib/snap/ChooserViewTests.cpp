// What the chooser shows: its Chinese caption and buttons and the titles of program windows.
#include <gtest/gtest.h>

#include "framework/ResourceModule.h"
#include "lib/snap/DlgActiveWin.h"
#include "tests/lib/snap/SnapTestSupport.h"

using namespace snaptest;

TEST(ActiveWindowChooserViewTest, ShowsChineseTitlesAndCanBeLookedAt) {
    // The lowest one is never offered, so it is made first.
    ColourWindow c(CRect(700, 500, 900, 650), RGB(80, 200, 80), L"丙窗口");
    ColourWindow b(CRect(650, 300, 850, 450), RGB(80, 80, 200), L"乙窗口：蓝色");
    ColourWindow a(CRect(600, 100, 800, 250), RGB(200, 80, 80), L"甲窗口：红色");
    CDlgActiveWin chooser;
    CString caption, okText, cancelText;
    int count = -1;
    bool listsA = false;
    std::wstring shot;
    TimerScript script;
    script.Add([&] {
        HWND dlg = chooser.m_hWnd;
        caption = chooser.GetWindowText();
        okText = chooser.GetDlgItemText(IDOK);
        cancelText = chooser.GetDlgItemText(IDCANCEL);
        count = chooser.m_listWnd.GetCount();
        for (int i = 0; i < count; ++i) {
            CString t;
            chooser.m_listWnd.GetText(i, t);
            if (t == L"甲窗口：红色") listsA = true;
        }
        PumpFor(100);
        CRect rc;
        GetWindowRect(dlg, &rc);
        shot = SaveScreenshot(L"chooser", rc);
        chooser.PostMessage(WM_COMMAND, IDCANCEL);
    });
    {
        CFxResourceScope scope(LibraryModule());
        script.Run([&] { chooser.DoModal(); });
    }
    EXPECT_EQ(caption, L"活动程序窗口");
    EXPECT_EQ(okText, L"确定");
    EXPECT_EQ(cancelText, L"取消");
    EXPECT_GE(count, 2);
    EXPECT_TRUE(listsA) << "the red window's title is listed";
    EXPECT_FALSE(shot.empty()) << "screenshot not written";
}
