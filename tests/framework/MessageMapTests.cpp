#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "framework/Wnd.h"

namespace {

const UINT WM_TEST_CUSTOM = WM_USER + 5;
const UINT g_registered = RegisterWindowMessageW(L"FxTestRegisteredMessage");

class CBaseProbe : public CWnd {
public:
    std::vector<CString> log;
    bool destroyed = false;

    BOOL CreateHidden() {
        return CreateEx(0, nullptr, L"probe", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0);
    }

protected:
    void OnTimer(UINT_PTR id) {
        CString s;
        s.Format(L"base timer %d", static_cast<int>(id));
        log.push_back(s);
    }
    virtual void OnLButtonDown(UINT flags, CPoint pt) {
        CString s;
        s.Format(L"base down %u %d,%d", flags, pt.x, pt.y);
        log.push_back(s);
    }
    LRESULT OnCustom(WPARAM wp, LPARAM lp) { return static_cast<LRESULT>(wp * 100 + lp); }
    void OnCommand100() { log.push_back(L"cmd 100"); }
    void OnRange(UINT id) {
        CString s;
        s.Format(L"range %u", id);
        log.push_back(s);
    }
    LRESULT OnRegistered(WPARAM wp, LPARAM) { return static_cast<LRESULT>(wp + 1); }
    LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failure"); }
    void PostNcDestroy() override { destroyed = true; }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseProbe, CWnd)
ON_WM_TIMER()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_TEST_CUSTOM, OnCustom)
ON_MESSAGE(WM_TEST_CUSTOM + 1, OnThrow)
ON_COMMAND(100, OnCommand100)
ON_COMMAND_RANGE(200, 210, OnRange)
ON_REGISTERED_MESSAGE(g_registered, OnRegistered)
END_MESSAGE_MAP()

class CDerivedProbe : public CBaseProbe {
protected:
    void OnLButtonDown(UINT, CPoint pt) override {
        CString s;
        s.Format(L"derived down %d,%d", pt.x, pt.y);
        log.push_back(s);
    }
    void OnButton300() { log.push_back(L"clicked 300"); }
    void OnCommand100Derived() { log.push_back(L"derived cmd 100"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedProbe, CBaseProbe)
ON_BN_CLICKED(300, OnButton300)
ON_COMMAND(100, OnCommand100Derived)
END_MESSAGE_MAP()

}  // namespace

TEST(MessageMapTest, DispatchesDecodedArgumentsToTheHandler) {
    CBaseProbe w;
    ASSERT_TRUE(w.CreateHidden());
    w.SendMessage(WM_TIMER, 7, 0);
    w.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-3, 12));
    EXPECT_EQ(w.SendMessage(WM_TEST_CUSTOM, 4, 2), 402);
    EXPECT_EQ(w.SendMessage(g_registered, 41, 0), 42);
    ASSERT_EQ(w.log.size(), 2u);
    EXPECT_EQ(w.log[0], L"base timer 7");
    EXPECT_EQ(w.log[1], L"base down 1 -3,12");
    w.DestroyWindow();
}

TEST(MessageMapTest, CommandsMatchIdRangeAndNotificationCode) {
    CBaseProbe w;
    ASSERT_TRUE(w.CreateHidden());
    w.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0), 0);  // menu
    w.SendMessage(WM_COMMAND, MAKEWPARAM(100, 1), 0);  // accelerator
    w.SendMessage(WM_COMMAND, MAKEWPARAM(205, 0), 0);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(211, 0), 0);          // outside the range
    w.SendMessage(WM_COMMAND, MAKEWPARAM(100, EN_CHANGE), 0);  // another notification
    std::vector<CString> expected = {L"cmd 100", L"cmd 100", L"range 205"};
    EXPECT_EQ(w.log, expected);
    w.DestroyWindow();
}

TEST(MessageMapTest, DerivedTableComesFirstAndFallsBackToTheBase) {
    CDerivedProbe w;
    ASSERT_TRUE(w.CreateHidden());
    w.SendMessage(WM_COMMAND, MAKEWPARAM(100, 0), 0);
    w.SendMessage(WM_COMMAND, MAKEWPARAM(300, BN_CLICKED), 0);
    w.SendMessage(WM_TIMER, 3, 0);                       // only the base handles it
    w.SendMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(5, 6));  // virtual handler, base entry
    std::vector<CString> expected = {L"derived cmd 100", L"clicked 300", L"base timer 3",
                                     L"derived down 5,6"};
    EXPECT_EQ(w.log, expected);
    w.DestroyWindow();
}

TEST(MessageMapTest, UnhandledMessagesReachTheDefaultProcedure) {
    CBaseProbe w;
    ASSERT_TRUE(w.CreateHidden());
    w.SetWindowText(L"新标题");
    EXPECT_EQ(w.GetWindowText(), L"新标题");
    EXPECT_EQ(w.SendMessage(WM_TEST_CUSTOM + 1), 0);  // a throwing handler is contained
    w.DestroyWindow();
}

TEST(MessageMapTest, DestructionDetachesTheObject) {
    CBaseProbe w;
    ASSERT_TRUE(w.CreateHidden());
    HWND h = w.m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(h), &w);
    EXPECT_TRUE(w.DestroyWindow());
    EXPECT_EQ(w.m_hWnd, nullptr);
    EXPECT_TRUE(w.destroyed);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    EXPECT_FALSE(::IsWindow(h));
}

TEST(MessageMapTest, DestroyingTheObjectDestroysItsWindow) {
    HWND h;
    {
        CBaseProbe w;
        ASSERT_TRUE(w.CreateHidden());
        h = w.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(h));
}

namespace {
class CEditProbe : public CWnd {
public:
    int customCalls = 0;

protected:
    LRESULT OnCustom(WPARAM, LPARAM) {
        ++customCalls;
        return 7;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CEditProbe, CWnd)
ON_MESSAGE(WM_TEST_CUSTOM, OnCustom)
END_MESSAGE_MAP()
}  // namespace

TEST(MessageMapTest, SubclassedControlKeepsItsOwnBehaviour) {
    HWND hEdit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(hEdit, nullptr);
    CEditProbe e;
    ASSERT_TRUE(e.SubclassWindow(hEdit));
    EXPECT_FALSE(CEditProbe().SubclassWindow(hEdit));  // one object per window
    EXPECT_EQ(e.SendMessage(WM_TEST_CUSTOM), 7);
    e.SetWindowText(L"编辑框");
    EXPECT_EQ(e.GetWindowText(), L"编辑框");
    EXPECT_EQ(e.UnsubclassWindow(), hEdit);
    EXPECT_EQ(::SendMessageW(hEdit, WM_TEST_CUSTOM, 0, 0), 0);
    EXPECT_EQ(e.customCalls, 1);
    ::DestroyWindow(hEdit);
}

TEST(MessageMapTest, FromHandleWrapsForeignWindowsTemporarily) {
    HWND h = CreateWindowExW(0, L"STATIC", L"外部", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    CWnd* p = CWnd::FromHandle(h);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->m_hWnd, h);
    EXPECT_EQ(CWnd::FromHandle(h), p);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
    EXPECT_EQ(p->GetWindowText(), L"外部");
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    AfxDeleteTempMaps();
    ::DestroyWindow(h);
}
