#include "lib/config/PeltoConfigFields.h"

#include <cwchar>

namespace {

using C = CPeltoConfig;
using Field = CPeltoConfigFields::Field;

constexpr bool kReset = true;  // ResetImageOption returns the setting to its default
constexpr bool kKeep = false;

constexpr Field Row(const wchar_t* pszName, const wchar_t* pszGroup, const wchar_t* pszKey,
                    CPeltoConfigFields::Kind kind, bool bReset) {
    Field field{};
    field.pszName = pszName;
    field.pszGroup = pszGroup;
    field.pszKey = pszKey;
    field.kind = kind;
    field.bResetByImageOption = bReset;
    return field;
}
constexpr Field String(const wchar_t* pszGroup, const wchar_t* pszKey, CString C::*p,
                       const wchar_t* pszDefault) {
    Field field = Row(pszKey, pszGroup, pszKey, CPeltoConfigFields::kString, kKeep);
    field.pString = p;
    field.pszDefault = pszDefault;
    return field;
}
constexpr Field Int(const wchar_t* pszName, const wchar_t* pszGroup, const wchar_t* pszKey,
                    int C::*p, int nDefault, bool bReset) {
    Field field = Row(pszName, pszGroup, pszKey, CPeltoConfigFields::kInt, bReset);
    field.pInt = p;
    field.nDefault = nDefault;
    return field;
}
constexpr Field Int(const wchar_t* pszGroup, const wchar_t* pszKey, int C::*p, int nDefault,
                    bool bReset) {
    return Int(pszKey, pszGroup, pszKey, p, nDefault, bReset);
}
constexpr Field Uint(const wchar_t* pszGroup, const wchar_t* pszKey, UINT C::*p, UINT nDefault) {
    Field field = Row(pszKey, pszGroup, pszKey, CPeltoConfigFields::kUint, kKeep);
    field.pUint = p;
    field.nDefault = static_cast<int>(nDefault);
    return field;
}
constexpr Field Word(const wchar_t* pszGroup, const wchar_t* pszKey, WORD C::*p, WORD wDefault) {
    Field field = Row(pszKey, pszGroup, pszKey, CPeltoConfigFields::kWord, kKeep);
    field.pWord = p;
    field.nDefault = wDefault;
    return field;
}

// A hand-edited or damaged file must not make a capture hang or fail: the numbers the engine
// acts on are kept to what the options sheet accepts (or the processors use).
constexpr Field Limited(Field field, CPeltoConfigFields::OutOfRange outside, int nMin, int nMax) {
    field.outside = outside;
    field.nMin = nMin;
    field.nMax = nMax;
    return field;
}

constexpr int kDefaultShearAmount = 50;
constexpr int kDefaultFilterFactor = 5;
constexpr WORD kModControl = 2;  // hot-key control form
constexpr WORD kVkSnapshot = 0x2C;

const wchar_t kBasic[] = L"Basic";
const wchar_t kImage[] = L"Image";
const wchar_t kHotKey[] = L"HotKey";
const wchar_t kAppData[] = L"AppData";

}  // namespace

// Formed inside the class, which the configuration lets reach its members; constant-initialised,
// so a configuration made during the start-up of another module finds it ready.
const CPeltoConfigFields::Field CPeltoConfigFields::s_fields[] = {
    String(nullptr, L"Author", &C::m_strAuthor, L"Noram软件"),
    String(nullptr, L"Version", &C::m_strVersion, L"Ver 2.1.0.1"),
    String(nullptr, L"URL", &C::m_strURL, L"http://www.noramsoft.com/"),
    String(nullptr, L"Mail", &C::m_strMail, L"support@noramsoft.com"),
    String(nullptr, L"AppName", &C::m_strAppName, L"Noram截图（Noram出品）"),
    Int(kBasic, L"PlaySnapSound", &C::m_bPlaySnapSound, TRUE, kKeep),
    Int(kBasic, L"HideMainWnd", &C::m_bHideMainWnd, TRUE, kKeep),
    Int(kBasic, L"SnapOnStart", &C::m_bSnapOnStart, FALSE, kKeep),
    // The delay is slept before every capture (-1 would be INFINITE): a negative number reads as
    // no delay, a larger one as the longest the sheet allows.
    Limited(Uint(kBasic, L"SnapDelayTime", &C::m_nSnapDelayTime, 500),
            CPeltoConfigFields::kClampToRange, 0, 15000),
    Int(kBasic, L"KeepOnTop", &C::m_bKeepOnTop, TRUE, kKeep),
    Int(kImage, L"GrayScale", &C::m_bGrayScale, FALSE, kReset),
    Int(kImage, L"Negate", &C::m_bNegate, FALSE, kReset),
    Int(kImage, L"Scale", &C::m_bScale, FALSE, kReset),
    Int(kImage, L"Rotate", &C::m_bRotate, FALSE, kReset),
    Int(kImage, L"FlipHorz", &C::m_bFlipHorz, FALSE, kReset),
    Int(kImage, L"FlipVert", &C::m_bFlipVert, FALSE, kReset),
    Int(kImage, L"ShearDown", &C::m_bShearDown, FALSE, kReset),
    Int(kImage, L"ShearAcross", &C::m_bShearAcross, FALSE, kReset),
    Int(kImage, L"Blur", &C::m_bBlur, FALSE, kReset),
    Int(kImage, L"Sharpen", &C::m_bSharpen, FALSE, kReset),
    Int(kImage, L"AutoCopy", &C::m_bAutoCopy, FALSE, kKeep),
    String(kImage, L"EditAppPath", &C::m_strEditAppPath, L"mspaint.exe"),
    // Cutting an angle off at a whole turn would keep nothing of what was meant: the default.
    Limited(Int(kImage, L"RotateAngle", &C::m_nRotateAngle, 45, kReset),
            CPeltoConfigFields::kUseDefault, -360, 360),
    Int(L"ShearAcrossAmout", kImage, L"XShearAmount", &C::m_nShearAcrossAmout, kDefaultShearAmount,
        kReset),
    Int(L"ShearDownAmout", kImage, L"YShearAmount", &C::m_nShearDownAmout, kDefaultShearAmount,
        kReset),
    // The filters work with 0..10 and take anything beyond as the nearer end; the setting is kept
    // to what is applied.
    Limited(Int(kImage, L"BlurFactor", &C::m_nBlurFactor, kDefaultFilterFactor, kReset),
            CPeltoConfigFields::kClampToRange, 0, 10),
    Limited(Int(kImage, L"SharpenFactor", &C::m_nSharpenFactor, kDefaultFilterFactor, kReset),
            CPeltoConfigFields::kClampToRange, 0, 10),
    Word(kHotKey, L"NewSnapModifier", &C::m_wNewSnapModifier, 0),
    Word(kHotKey, L"NewSnapVk", &C::m_wNewSnapVk, kVkSnapshot),
    Word(kHotKey, L"FullScreenModifier", &C::m_wFullScreenModifier, kModControl),
    Word(kHotKey, L"FullScreenVk", &C::m_wFullScreenVk, kVkSnapshot),
    Word(kHotKey, L"ActiveWinModifier", &C::m_wActiveWinModifier, 0),
    Word(kHotKey, L"ActiveWinVk", &C::m_wActiveWinVk, VK_F3),
    Word(kHotKey, L"CurrentWinModifier", &C::m_wCurrentWinModifier, 0),
    Word(kHotKey, L"CurrentWinVk", &C::m_wCurrentWinVk, VK_F4),
    Word(kHotKey, L"WinClientModifier", &C::m_wWinClientModifier, 0),
    Word(kHotKey, L"WinClientVk", &C::m_wWinClientVk, VK_F5),
    Word(kHotKey, L"WinObjModifier", &C::m_wWinObjModifier, 0),
    Word(kHotKey, L"WinObjVk", &C::m_wWinObjVk, VK_F6),
    Word(kHotKey, L"SelectRectModifier", &C::m_wSelectRectModifier, 0),
    Word(kHotKey, L"SelectRectVk", &C::m_wSelectRectVk, VK_F7),
    Word(kHotKey, L"ShowHideModifier", &C::m_wShowHideModifier, 0),
    Word(kHotKey, L"ShowHideVk", &C::m_wShowHideVk, VK_F8),
    Int(kAppData, L"SnapMode", &C::m_nSnapMode, 0, kKeep),
    // Not in the file: they start at their defaults on every run.
    Int(L"ScaleFactor", nullptr, nullptr, &C::m_nScaleFactor, 50, kReset),
    Int(L"ApplyEffects", nullptr, nullptr, &C::m_bApplyEffects, TRUE, kKeep),
    Int(L"ColorReplace", nullptr, nullptr, &C::m_bColorReplace, FALSE, kKeep),
    Int(L"SmoothTransform", nullptr, nullptr, &C::m_bSmoothTransform, TRUE, kKeep),
};

const CPeltoConfigFields::Field* CPeltoConfigFields::Get(size_t& nCount) {
    nCount = sizeof(s_fields) / sizeof(s_fields[0]);
    return s_fields;
}

const CPeltoConfigFields::Field* CPeltoConfigFields::Find(const wchar_t* pszName) {
    for (const Field& field : s_fields) {
        if (pszName && std::wcscmp(field.pszName, pszName) == 0) return &field;
    }
    return nullptr;
}

void CPeltoConfigFields::SetDefault(CPeltoConfig& config, const Field& field) {
    switch (field.kind) {
        case kString:
            config.*field.pString = field.pszDefault;
            break;
        case kInt:
            config.*field.pInt = field.nDefault;
            break;
        case kUint:
            config.*field.pUint = static_cast<UINT>(field.nDefault);
            break;
        case kWord:
            config.*field.pWord = static_cast<WORD>(field.nDefault);
            break;
    }
}

int CPeltoConfigFields::Limit(const Field& field, int nValue) {
    if (field.outside == kAnyValue || (nValue >= field.nMin && nValue <= field.nMax)) return nValue;
    if (field.outside == kUseDefault) return field.nDefault;
    return nValue < field.nMin ? field.nMin : field.nMax;
}
