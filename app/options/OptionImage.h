// The image page of the options sheet: the external editor and the effect amounts.
#pragma once

#include "framework/PropertySheet.h"

class COptionImage : public CPropertyPage {
public:
    COptionImage();

    CString m_strEditAppPath;
    int m_nRotateAngle = 0;
    int m_nScaleFactor = 0;
    int m_nShearAcrossAmout = 0;
    int m_nShearDownAmout = 0;
    int m_nBlurFactor = 0;
    int m_nSharpenFactor = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnBrowse();

    DECLARE_MESSAGE_MAP()
};

// The settings file cannot carry "<", ">" or blanks at either end of a value; a path typed with
// them is refused where it is typed.
bool IsStorableSettingText(const CString& strValue);
