#include "app/options/OptionBasic.h"

#include "app/res/resource.h"

COptionBasic::COptionBasic() : CPropertyPage(IDD_OPTION_BASIC) {}

void COptionBasic::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_OPT_PLAY_SOUND, m_bPlaySnapSound);
    DDX_Check(pDX, IDC_OPT_HIDE_MAIN, m_bHideMainWnd);
    DDX_Check(pDX, IDC_OPT_SNAP_ON_START, m_bSnapOnStart);
    DDX_Text(pDX, IDC_OPT_SNAP_DELAY, m_nSnapDelayTime);
    DDV_MinMaxUInt(pDX, m_nSnapDelayTime, 0, 15000);
    DDX_Check(pDX, IDC_OPT_KEEP_ON_TOP, m_bKeepOnTop);
}
