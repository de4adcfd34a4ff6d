// Child notifications reflected to the child's own object, and the creation hooks of windows
// made through the framework, attached from a template or subclassed.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "tests/framework/FrameworkTestIds.h"

namespace {

const UINT kChildId = 7;
const UINT kNmTest = 0xFFFFFF00u;  // a notification code no control uses

// A control that takes its own change notifications and, when asked, colours itself.
class CReflectingEdit : public CWnd {
public:
    int changes = 0;
    int notifies = 0;
    int colours = 0;
    HBRUSH brush = nullptr;  // what CtlColor answers; null leaves the colour to the parent

protected:
    void OnChange() { ++changes; }
    void OnTestNotify(NMHDR*, LRESULT* pResult) {
        ++notifies;
        *pResult = 33;
    }
    HBRUSH CtlColor(CDC* pDC, UINT) {
        ++colours;
        pDC->SetBkMode(TRANSPARENT);
        return brush;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectingEdit, CWnd)
ON_CONTROL_REFLECT(EN_CHANGE, OnChange)
ON_NOTIFY_REFLECT(kNmTest, OnTestNotify)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CParentProbe : public CWnd {
public:
    int changes = 0;
    int kills = 0;
    int notifies = 0;
    int colours = 0;
    CBrush parentBrush{RGB(1, 2, 3)};

protected:
    void OnChildChange() { ++changes; }
    void OnChildKillFocus() { ++kills; }
    void OnChildNotify(NMHDR*, LRESULT* pResult) {
        ++notifies;
        *pResult = 44;
    }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) {
        ++colours;
        return parentBrush.GetSafeHandle();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CParentProbe, CWnd)
ON_EN_CHANGE(kChildId, OnChildChange)
ON_CONTROL(EN_KILLFOCUS, kChildId, OnChildKillFocus)
ON_NOTIFY(kNmTest, kChildId, OnChildNotify)
ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

}  // namespace

TEST(ReflectionTest, TheChildTakesWhatItReflectsAndLeavesTheRestToItsParent) {
    CParentProbe parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, L"父窗口", WS_POPUP | WS_VISIBLE, CRect(0, 0, 200, 100),
                                nullptr, 0));
    CReflectingEdit child;
    ASSERT_TRUE(child.CreateEx(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, CRect(5, 5, 150, 30),
                               &parent, kChildId));
    CWnd plain;  // an attached control without reflected entries
    ASSERT_TRUE(
        plain.CreateEx(0, L"EDIT", L"", WS_CHILD, CRect(5, 40, 150, 60), &parent, kChildId));
    CBrush childBrush(RGB(9, 9, 9));
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(static_cast<HDC>(nullptr)));
    auto command = [&](CWnd& from, UINT code) {
        return parent.SendMessage(WM_COMMAND, MAKEWPARAM(kChildId, code),
                                  reinterpret_cast<LPARAM>(from.m_hWnd));
    };
    auto notify = [&](CWnd& from) {
        NMHDR nm = {from.m_hWnd, kChildId, kNmTest};
        return parent.SendMessage(WM_NOTIFY, kChildId, reinterpret_cast<LPARAM>(&nm));
    };
    auto colour = [&](CWnd& from) {
        return reinterpret_cast<HBRUSH>(parent.SendMessage(WM_CTLCOLOREDIT,
                                                           reinterpret_cast<WPARAM>(mem.m_hDC),
                                                           reinterpret_cast<LPARAM>(from.m_hWnd)));
    };
    HBRUSH got = nullptr;
    LRESULT result = 0;
    struct Case {
        const char* what;
        std::function<void()> send;
        int childChanges, parentChanges, parentKills, childNotifies, parentNotifies;
        int childColours, parentColours;
        HBRUSH brush;
        LRESULT result;
    } cases[] = {
        {"reflected command", [&] { command(child, EN_CHANGE); }, 1, 0, 0, 0, 0, 0, 0, nullptr, 0},
        {"command the child does not reflect", [&] { command(child, EN_KILLFOCUS); }, 0, 0, 1, 0, 0,
         0, 0, nullptr, 0},
        {"command of a child without reflection", [&] { command(plain, EN_CHANGE); }, 0, 1, 0, 0, 0,
         0, 0, nullptr, 0},
        {"reflected notification", [&] { result = notify(child); }, 0, 0, 0, 1, 0, 0, 0, nullptr,
         33},
        {"notification of a child without reflection", [&] { result = notify(plain); }, 0, 0, 0, 0,
         1, 0, 0, nullptr, 44},
        {"colour without a brush of the child's",
         [&] {
             child.brush = nullptr;
             got = colour(child);
         },
         0, 0, 0, 0, 0, 1, 1, parent.parentBrush.GetSafeHandle(), 0},
        {"colour with the child's brush",
         [&] {
             child.brush = childBrush.GetSafeHandle();
             got = colour(child);
         },
         0, 0, 0, 0, 0, 1, 0, childBrush.GetSafeHandle(), 0},
    };
    for (const Case& c : cases) {
        child.changes = child.notifies = child.colours = 0;
        parent.changes = parent.kills = parent.notifies = parent.colours = 0;
        got = nullptr;
        result = 0;
        c.send();
        EXPECT_EQ(child.changes, c.childChanges) << c.what;
        EXPECT_EQ(parent.changes, c.parentChanges) << c.what;
        EXPECT_EQ(parent.kills, c.parentKills) << c.what;
        EXPECT_EQ(child.notifies, c.childNotifies) << c.what;
        EXPECT_EQ(parent.notifies, c.parentNotifies) << c.what;
        EXPECT_EQ(child.colours, c.childColours) << c.what;
        EXPECT_EQ(parent.colours, c.parentColours) << c.what;
        EXPECT_EQ(got, c.brush) << c.what;
        EXPECT_EQ(result, c.result) << c.what;
    }
    // The control's own painting asks its parent for colours: they reach the control first.
    child.colours = 0;
    child.brush = nullptr;
    child.SetWindowText(L"文字");
    child.RedrawWindow();
    EXPECT_GT(child.colours, 0) << "the edit's paint was not reflected";
    parent.DestroyWindow();
}

namespace {

std::vector<const char*> g_events;

class CCreateProbe : public CWnd {
protected:
    int OnCreate(LPCREATESTRUCT lpcs) {
        g_events.push_back(lpcs && lpcs->lpszClass ? "create" : "create without struct");
        return 0;
    }
    void PreSubclassWindow() override { g_events.push_back("subclass"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCreateProbe, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

class CCreateDialog : public CDialog {
public:
    CCreateDialog() : CDialog(IDD_TEST_DIALOG) {}

protected:
    int OnCreate(LPCREATESTRUCT) {
        g_events.push_back("dialog create");
        return 0;
    }
    BOOL OnInitDialog() override {
        g_events.push_back("init dialog");
        return CDialog::OnInitDialog();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCreateDialog, CDialog)
ON_WM_CREATE()
END_MESSAGE_MAP()

}  // namespace

TEST(CreationHookTest, CreateRunsForEveryClassAndDialogsSubclassingGetsItsOwnHook) {
    struct Case {
        const char* what;
        std::function<void()> make;
        std::vector<const char*> events;
    } cases[] = {
        {"framework class",
         [] {
             CCreateProbe w;
             w.CreateEx(0, nullptr, L"", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
         },
         {"create"}},
        {"system class",
         [] {
             CCreateProbe w;
             w.CreateEx(0, L"EDIT", L"", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0);
         },
         {"create"}},
        {"dialog from a template",
         [] {
             CCreateDialog d;
             d.Create(IDD_TEST_DIALOG);
         },
         {"dialog create", "init dialog"}},
        {"subclassed window",
         [] {
             HWND h = CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
             CCreateProbe w;
             w.SubclassWindow(h);
             w.DestroyWindow();
         },
         {"subclass"}},
    };
    for (const Case& c : cases) {
        g_events.clear();
        c.make();
        ASSERT_EQ(g_events.size(), c.events.size()) << c.what;
        for (size_t i = 0; i < c.events.size(); ++i)
            EXPECT_STREQ(g_events[i], c.events[i]) << c.what << ", event " << i;
    }
}

TEST(CreationHookTest, ATemplateDialogIsAttachedBeforeItsFirstMessage) {
    CCreateDialog d;
    ASSERT_TRUE(d.Create(IDD_TEST_DIALOG));
    EXPECT_EQ(CWnd::FromHandlePermanent(d.m_hWnd), &d);
    // The controls of the template are not taken by the dialog's object.
    EXPECT_EQ(CWnd::FromHandlePermanent(d.GetDlgItemHwnd(IDC_TEST_TEXT)), nullptr);
    d.DestroyWindow();
    EXPECT_EQ(d.m_hWnd, nullptr);
}
