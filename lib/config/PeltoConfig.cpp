#include "lib/config/PeltoConfig.h"

namespace {

const int kDefaultScaleFactor = 50;
const int kDefaultRotateAngle = 45;
const int kDefaultShearAmount = 50;
const int kDefaultFilterFactor = 5;

const WORD kModControl = 2;  // hot-key control form
const WORD kVkSnapshot = 0x2C;

}  // namespace

CPeltoConfig::CPeltoConfig()
    : m_strAuthor(L"Noram软件"),
      m_strVersion(L"Ver 2.1.0.1"),
      m_strURL(L"http://www.noramsoft.com/"),
      m_strMail(L"support@noramsoft.com"),
      m_strAppName(L"Noram截图（Noram出品）"),
      m_bPlaySnapSound(TRUE),
      m_bHideMainWnd(TRUE),
      m_bSnapOnStart(FALSE),
      m_nSnapDelayTime(500),
      m_bKeepOnTop(TRUE),
      m_strEditAppPath(L"mspaint.exe"),
      m_bGrayScale(FALSE),
      m_bNegate(FALSE),
      m_bScale(FALSE),
      m_nScaleFactor(kDefaultScaleFactor),
      m_bRotate(FALSE),
      m_nRotateAngle(kDefaultRotateAngle),
      m_bFlipHorz(FALSE),
      m_bFlipVert(FALSE),
      m_bShearDown(FALSE),
      m_nShearDownAmout(kDefaultShearAmount),
      m_bShearAcross(FALSE),
      m_nShearAcrossAmout(kDefaultShearAmount),
      m_bBlur(FALSE),
      m_nBlurFactor(kDefaultFilterFactor),
      m_bSharpen(FALSE),
      m_nSharpenFactor(kDefaultFilterFactor),
      m_bAutoCopy(FALSE),
      m_bApplyEffects(TRUE),
      m_bColorReplace(FALSE),
      m_bSmoothTransform(TRUE),
      m_wNewSnapModifier(0),
      m_wNewSnapVk(kVkSnapshot),
      m_wFullScreenModifier(kModControl),
      m_wFullScreenVk(kVkSnapshot),
      m_wActiveWinModifier(0),
      m_wActiveWinVk(VK_F3),
      m_wCurrentWinModifier(0),
      m_wCurrentWinVk(VK_F4),
      m_wWinClientModifier(0),
      m_wWinClientVk(VK_F5),
      m_wWinObjModifier(0),
      m_wWinObjVk(VK_F6),
      m_wSelectRectModifier(0),
      m_wSelectRectVk(VK_F7),
      m_wShowHideModifier(0),
      m_wShowHideVk(VK_F8),
      m_nSnapMode(0) {}

CPeltoConfig::CPeltoConfig(const CPeltoConfig& other) = default;
CPeltoConfig& CPeltoConfig::operator=(const CPeltoConfig& other) = default;
CPeltoConfig::~CPeltoConfig() = default;

void CPeltoConfig::ResetImageOption() {
    m_bGrayScale = FALSE;
    m_bNegate = FALSE;
    m_bScale = FALSE;
    m_bRotate = FALSE;
    m_bFlipHorz = FALSE;
    m_bFlipVert = FALSE;
    m_bShearDown = FALSE;
    m_bShearAcross = FALSE;
    m_bBlur = FALSE;
    m_bSharpen = FALSE;
    m_nBlurFactor = kDefaultFilterFactor;
    m_nSharpenFactor = kDefaultFilterFactor;
    m_nScaleFactor = kDefaultScaleFactor;
    m_nRotateAngle = kDefaultRotateAngle;
    m_nShearDownAmout = kDefaultShearAmount;
    m_nShearAcrossAmout = kDefaultShearAmount;
}

#define PELTO_HOTKEY_ACCESSORS(Name)                                   \
    void CPeltoConfig::Get##Name##Hotkey(WORD& wModifier, WORD& wVk) { \
        wModifier = m_w##Name##Modifier;                               \
        wVk = m_w##Name##Vk;                                           \
    }                                                                  \
    void CPeltoConfig::Set##Name##Hotkey(WORD wModifier, WORD wVk) {   \
        m_w##Name##Modifier = wModifier;                               \
        m_w##Name##Vk = wVk;                                           \
    }

PELTO_HOTKEY_ACCESSORS(NewSnap)
PELTO_HOTKEY_ACCESSORS(FullScreen)
PELTO_HOTKEY_ACCESSORS(ActiveWin)
PELTO_HOTKEY_ACCESSORS(CurrentWin)
PELTO_HOTKEY_ACCESSORS(WinClient)
PELTO_HOTKEY_ACCESSORS(WinObj)
PELTO_HOTKEY_ACCESSORS(SelectRect)
PELTO_HOTKEY_ACCESSORS(ShowHide)

#undef PELTO_HOTKEY_ACCESSORS
