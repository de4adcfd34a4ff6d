#include "app/options/OptionImage.h"

#include <cwctype>

#include "app/res/resource.h"
#include "framework/FileDialog.h"

BEGIN_MESSAGE_MAP(COptionImage, CPropertyPage)
ON_BN_CLICKED(IDC_OPT_BROWSE, OnBrowse)
END_MESSAGE_MAP()

bool IsStorableSettingText(const CString& strValue) {
    int n = strValue.GetLength();
    if (n == 0) return true;
    if (iswspace(strValue[0]) || iswspace(strValue[n - 1])) return false;
    return strValue.Find(L'<') < 0 && strValue.Find(L'>') < 0;
}

COptionImage::COptionImage() : CPropertyPage(IDD_OPTION_IMAGE) {}

void COptionImage::DoDataExchange(CDataExchange* pDX) {
    DDX_Text(pDX, IDC_OPT_EDIT_APP_PATH, m_strEditAppPath);
    if (pDX->m_bSaveAndValidate && !pDX->m_bFailed && !IsStorableSettingText(m_strEditAppPath))
        pDX->Fail(L"图像编辑程序的路径不能包含“<”或“>”，也不能以空格开头或结尾。");
    DDX_Text(pDX, IDC_OPT_ROTATE_ANGLE, m_nRotateAngle);
    DDX_Text(pDX, IDC_OPT_SCALE_FACTOR, m_nScaleFactor);
    DDX_Text(pDX, IDC_OPT_SHEAR_ACROSS, m_nShearAcrossAmout);
    DDX_Text(pDX, IDC_OPT_SHEAR_DOWN, m_nShearDownAmout);
    DDX_Text(pDX, IDC_OPT_BLUR_FACTOR, m_nBlurFactor);
    DDX_Text(pDX, IDC_OPT_SHARPEN_FACTOR, m_nSharpenFactor);
    // The range message must speak of the angle's box, not of the last box exchanged.
    if (pDX->m_bSaveAndValidate && !pDX->m_bFailed) pDX->PrepareCtrl(IDC_OPT_ROTATE_ANGLE);
    DDV_MinMaxInt(pDX, m_nRotateAngle, -360, 360);
}

void COptionImage::OnBrowse() {
    CFileDialog dlg(TRUE, nullptr, nullptr, 0, L"图像编辑程序(*.exe)|*.exe||", nullptr, 0, TRUE);
    if (dlg.DoModal() != IDOK) return;
    m_strEditAppPath = dlg.GetPathName();
    UpdateData(FALSE);
}
