#include "app/main/PeltoDlg.h"

#include "app/res/resource.h"

BEGIN_MESSAGE_MAP(CPeltoDlg, CDialog)
END_MESSAGE_MAP()

CPeltoDlg::CPeltoDlg(CWnd* pParent) : CDialog(IDD_PELTO_DIALOG, pParent) {}

BOOL CPeltoDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    static const wchar_t* const kSnapTypes[] = {L"整个屏幕",       L"活动程序窗口",  L"当前窗口",
                                                L"活动程序客户区", L"界面对象/菜单", L"选定区域"};
    for (const wchar_t* s : kSnapTypes)
        SendDlgItemMessageW(m_hWnd, 1004, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendDlgItemMessageW(m_hWnd, 1004, CB_SETCURSEL, 0, 0);
    return TRUE;
}
