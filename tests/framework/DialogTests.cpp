#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/Dialog.h"
#include "tests/framework/FrameworkTestIds.h"

namespace {

std::vector<CString> g_messages;
int RecordMessage(const wchar_t* text, UINT) {
    g_messages.push_back(text);
    return IDOK;
}

// A dialog whose test script runs step by step from a timer inside the modal loop.
class CTestDialog : public CDialog {
public:
    CTestDialog() : CDialog(IDD_TEST_DIALOG) {}

    CString m_strText = L"初始";
    int m_nNumber = 5;
    int m_bCheck = 1;
    int m_nList = 1;
    int m_nCombo = 2;
    CWnd m_wndText;
    std::vector<std::function<void(CTestDialog&)>> steps;
    size_t nextStep = 0;
    int okCalls = 0;

    void SetItem(int id, const wchar_t* text) { SetDlgItemText(id, text); }

protected:
    BOOL OnInitDialog() override {
        for (const wchar_t* s : {L"甲", L"乙", L"丙"}) {
            ::SendDlgItemMessageW(m_hWnd, IDC_TEST_LIST, LB_ADDSTRING, 0,
                                  reinterpret_cast<LPARAM>(s));
            ::SendDlgItemMessageW(m_hWnd, IDC_TEST_COMBO, CB_ADDSTRING, 0,
                                  reinterpret_cast<LPARAM>(s));
        }
        CDialog::OnInitDialog();
        SetTimer(1, 10);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_TEST_TEXT, m_wndText);
        DDX_Text(pDX, IDC_TEST_TEXT, m_strText);
        DDX_Text(pDX, IDC_TEST_NUMBER, m_nNumber);
        DDV_MinMaxInt(pDX, m_nNumber, 1, 10);
        DDX_Check(pDX, IDC_TEST_CHECK, m_bCheck);
        DDX_LBIndex(pDX, IDC_TEST_LIST, m_nList);
        DDX_CBIndex(pDX, IDC_TEST_COMBO, m_nCombo);
    }
    void OnOK() override {
        ++okCalls;
        CDialog::OnOK();
    }
    void OnTimer(UINT_PTR) {
        if (nextStep < steps.size()) {
            steps[nextStep++](*this);
        } else {
            EndDialog(-2);  // the script ran out without ending the dialog
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestDialog, CDialog)
ON_WM_TIMER()
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_messages.clear();
        previous = AfxSetMessageBoxHook(&RecordMessage);
    }
    void TearDown() override { AfxSetMessageBoxHook(previous); }
    FxMessageBoxHook previous = nullptr;
};

}  // namespace

TEST_F(DialogTest, ModalDialogEndsFromATimerWithItsResult) {
    CTestDialog dlg;
    dlg.steps.push_back([](CTestDialog& d) { d.EndDialog(42); });
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, InitialExchangeFillsTheControls) {
    CTestDialog dlg;
    CString text, number;
    int check = -1, list = -1, combo = -1;
    dlg.steps.push_back([&](CTestDialog& d) {
        text = d.GetDlgItemText(IDC_TEST_TEXT);
        number = d.GetDlgItemText(IDC_TEST_NUMBER);
        check =
            static_cast<int>(::SendDlgItemMessageW(d.m_hWnd, IDC_TEST_CHECK, BM_GETCHECK, 0, 0));
        list = static_cast<int>(::SendDlgItemMessageW(d.m_hWnd, IDC_TEST_LIST, LB_GETCURSEL, 0, 0));
        combo =
            static_cast<int>(::SendDlgItemMessageW(d.m_hWnd, IDC_TEST_COMBO, CB_GETCURSEL, 0, 0));
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(text, L"初始");
    EXPECT_EQ(number, L"5");
    EXPECT_EQ(check, 1);
    EXPECT_EQ(list, 1);
    EXPECT_EQ(combo, 2);
}

TEST_F(DialogTest, OkReadsTheControlsBackIntoTheMembers) {
    CTestDialog dlg;
    dlg.steps.push_back([](CTestDialog& d) {
        d.SetItem(IDC_TEST_TEXT, L"新的文字");
        d.SetItem(IDC_TEST_NUMBER, L" 10 ");
        ::SendDlgItemMessageW(d.m_hWnd, IDC_TEST_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
        ::SendDlgItemMessageW(d.m_hWnd, IDC_TEST_LIST, LB_SETCURSEL, 2, 0);
        ::SendDlgItemMessageW(d.m_hWnd, IDC_TEST_COMBO, CB_SETCURSEL, 0, 0);
        d.PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strText, L"新的文字");
    EXPECT_EQ(dlg.m_nNumber, 10);
    EXPECT_EQ(dlg.m_bCheck, 0);
    EXPECT_EQ(dlg.m_nList, 2);
    EXPECT_EQ(dlg.m_nCombo, 0);
    EXPECT_TRUE(g_messages.empty());
}

TEST_F(DialogTest, RangeFailureKeepsTheDialogOpenAndSaysWhy) {
    CTestDialog dlg;
    bool stillOpen = false;
    dlg.steps.push_back([](CTestDialog& d) {
        d.SetItem(IDC_TEST_NUMBER, L"11");
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    dlg.steps.push_back([&](CTestDialog& d) {
        stillOpen = d.IsWindowVisible() != 0;
        d.SetItem(IDC_TEST_NUMBER, L"abc");
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    dlg.steps.push_back([](CTestDialog& d) {
        d.SetItem(IDC_TEST_NUMBER, L"3");
        d.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(dlg.okCalls, 3);
    EXPECT_EQ(dlg.m_nNumber, 3);
    ASSERT_EQ(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[0], L"请输入一个介于 1 和 10 之间的整数。");
    EXPECT_EQ(g_messages[1], L"请输入一个整数。");
}

TEST_F(DialogTest, FailedExchangeLeavesLaterMembersAlone) {
    CTestDialog dlg;
    dlg.steps.push_back([](CTestDialog& d) {
        d.SetItem(IDC_TEST_NUMBER, L"99999999999999");
        ::SendDlgItemMessageW(d.m_hWnd, IDC_TEST_CHECK, BM_SETCHECK, BST_UNCHECKED, 0);
        EXPECT_FALSE(d.UpdateData(TRUE));
        d.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_nNumber, 5);
    EXPECT_EQ(dlg.m_bCheck, 1);  // after the failing field: not read
    ASSERT_EQ(g_messages.size(), 1u);
}

TEST_F(DialogTest, EscapeInAControlCancelsThroughTheDialogKeys) {
    CTestDialog dlg;
    dlg.steps.push_back([](CTestDialog& d) {
        HWND edit = ::GetDlgItem(d.m_hWnd, IDC_TEST_TEXT);
        ::SetFocus(edit);
        ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(DialogTest, ControlBindingAttachesTheMemberOnce) {
    CTestDialog dlg;
    HWND bound = nullptr;
    dlg.steps.push_back([&](CTestDialog& d) {
        bound = d.m_wndText.m_hWnd;
        EXPECT_TRUE(d.UpdateData(FALSE));
        EXPECT_EQ(d.m_wndText.m_hWnd, bound);
        d.EndDialog(IDOK);
    });
    dlg.DoModal();
    EXPECT_NE(bound, nullptr);
    EXPECT_EQ(dlg.m_wndText.m_hWnd, nullptr);  // detached when the dialog went away
}

TEST_F(DialogTest, MissingTemplateFailsWithMinusOne) {
    CDialog dlg(9999);
    EXPECT_EQ(dlg.DoModal(), -1);
}

TEST_F(DialogTest, ModelessDialogLivesUntilDestroyed) {
    CTestDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_DIALOG));
    HWND h = dlg.m_hWnd;
    EXPECT_TRUE(::IsWindow(h));
    EXPECT_EQ(dlg.GetDlgItemText(IDC_TEST_TEXT), L"初始");
    dlg.KillTimer(1);
    dlg.DestroyWindow();
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, OwnerIsDisabledFromInitialisationUntilTheEnd) {
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    struct CRecording : CTestDialog {
        BOOL bOwnerEnabledAtInit = TRUE;
        BOOL OnInitDialog() override {
            bOwnerEnabledAtInit = ::IsWindowEnabled(m_pParentWnd->m_hWnd);
            return CTestDialog::OnInitDialog();
        }
    } dlg;
    dlg.m_pParentWnd = &owner;
    dlg.steps.push_back([](CTestDialog& d) { d.EndDialog(IDOK); });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.bOwnerEnabledAtInit);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    // A dialog that cannot be made gives its owner back at once.
    CDialog missing(9999, &owner);
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    owner.DestroyWindow();
}
