// The settings object in memory: defaults, accessors, the effect reset, copies.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "lib/config/PeltoConfig.h"
#include "lib/config/PeltoConfigFields.h"

namespace {

// The defaults come from the settings table; the byte-exact reference file of the file tests
// guards the stored ones, and ConfigFile.UnstoredSettingsStartAtTheirDefaults the others.
const CPeltoConfigFields::Field* Row(const std::wstring& name) {
    const CPeltoConfigFields::Field* pField = CPeltoConfigFields::Find(name.c_str());
    if (!pField) ADD_FAILURE() << "no table row for " << CString(name.c_str()).ToUtf8();
    return pField;
}

int DefaultOf(const std::wstring& name) {
    const CPeltoConfigFields::Field* pField = Row(name);
    return pField ? pField->nDefault : 0x7EADBEEF;
}

struct HotkeyRow {
    const wchar_t* name;
    void (CPeltoConfig::*get)(WORD&, WORD&);
    void (CPeltoConfig::*set)(WORD, WORD);
};

const HotkeyRow kHotkeys[] = {
    {L"NewSnap", &CPeltoConfig::GetNewSnapHotkey, &CPeltoConfig::SetNewSnapHotkey},
    {L"FullScreen", &CPeltoConfig::GetFullScreenHotkey, &CPeltoConfig::SetFullScreenHotkey},
    {L"ActiveWin", &CPeltoConfig::GetActiveWinHotkey, &CPeltoConfig::SetActiveWinHotkey},
    {L"CurrentWin", &CPeltoConfig::GetCurrentWinHotkey, &CPeltoConfig::SetCurrentWinHotkey},
    {L"WinClient", &CPeltoConfig::GetWinClientHotkey, &CPeltoConfig::SetWinClientHotkey},
    {L"WinObj", &CPeltoConfig::GetWinObjHotkey, &CPeltoConfig::SetWinObjHotkey},
    {L"SelectRect", &CPeltoConfig::GetSelectRectHotkey, &CPeltoConfig::SetSelectRectHotkey},
    {L"ShowHide", &CPeltoConfig::GetShowHideHotkey, &CPeltoConfig::SetShowHideHotkey},
};

struct IntRow {
    const char* name;
    const wchar_t* wname;
    int (*get)(const CPeltoConfig&);
    void (*set)(CPeltoConfig&, int);
};

#define INT_ROW(Name)                                                                            \
    {                                                                                            \
#Name, L"" #Name,                                                                        \
            [](const CPeltoConfig&                                                               \
                   c) { return static_cast<int>(c.Get##Name()); }, [](CPeltoConfig & c,          \
                                                                      int n) { c.Set##Name(n); } \
    }

// Every BOOL and int setting with an accessor; SnapDelayTime is checked on its own.
const IntRow kInts[] = {
    INT_ROW(PlaySnapSound), INT_ROW(HideMainWnd),
    INT_ROW(SnapOnStart),   INT_ROW(KeepOnTop),
    INT_ROW(GrayScale),     INT_ROW(Negate),
    INT_ROW(Scale),         INT_ROW(ScaleFactor),
    INT_ROW(Rotate),        INT_ROW(RotateAngle),
    INT_ROW(FlipHorz),      INT_ROW(FlipVert),
    INT_ROW(ShearDown),     INT_ROW(ShearDownAmout),
    INT_ROW(ShearAcross),   INT_ROW(ShearAcrossAmout),
    INT_ROW(Blur),          INT_ROW(BlurFactor),
    INT_ROW(Sharpen),       INT_ROW(SharpenFactor),
    INT_ROW(AutoCopy),      INT_ROW(SnapMode),
};

// The flags the effect chain reads directly, without accessors.
const std::pair<const wchar_t*, BOOL CPeltoConfig::*> kFlags[] = {
    {L"ApplyEffects", &CPeltoConfig::m_bApplyEffects},
    {L"ColorReplace", &CPeltoConfig::m_bColorReplace},
    {L"SmoothTransform", &CPeltoConfig::m_bSmoothTransform},
};

}  // namespace

TEST(PeltoConfigModel, FreshObjectHoldsEveryDefault) {
    CPeltoConfig config;
    for (const IntRow& row : kInts) {
        EXPECT_EQ(row.get(config), DefaultOf(row.wname)) << row.name;
    }
    EXPECT_EQ(config.GetSnapDelayTime(), static_cast<UINT>(DefaultOf(L"SnapDelayTime")));
    const CPeltoConfigFields::Field* pAppName = Row(L"AppName");
    const CPeltoConfigFields::Field* pEditAppPath = Row(L"EditAppPath");
    ASSERT_TRUE(pAppName && pEditAppPath);
    EXPECT_EQ(config.GetAppName(), pAppName->pszDefault);
    EXPECT_EQ(config.GetEditAppPath(), pEditAppPath->pszDefault);
    for (const auto& flag : kFlags) {
        EXPECT_EQ(config.*flag.second, DefaultOf(flag.first)) << CString(flag.first).ToUtf8();
    }
    for (const HotkeyRow& row : kHotkeys) {
        WORD wModifier = 0xBEEF, wVk = 0xBEEF;
        (config.*row.get)(wModifier, wVk);
        std::wstring name = row.name;
        EXPECT_EQ(wModifier, DefaultOf(name + L"Modifier")) << CString(row.name).ToUtf8();
        EXPECT_EQ(wVk, DefaultOf(name + L"Vk")) << CString(row.name).ToUtf8();
    }
}

TEST(PeltoConfigModel, TableHasOneRowPerMember) {
    // A row whose name or member repeats another would leave a member without its default.
    size_t nCount = 0;
    const CPeltoConfigFields::Field* pFields = CPeltoConfigFields::Get(nCount);
    for (size_t i = 0; i < nCount; ++i) {
        const CPeltoConfigFields::Field& a = pFields[i];
        EXPECT_EQ(CPeltoConfigFields::Find(a.pszName), &a) << CString(a.pszName).ToUtf8();
        for (size_t j = i + 1; j < nCount; ++j) {
            const CPeltoConfigFields::Field& b = pFields[j];
            bool bSame = a.kind == b.kind && a.pString == b.pString && a.pInt == b.pInt &&
                         a.pUint == b.pUint && a.pWord == b.pWord;
            EXPECT_FALSE(bSame) << CString(a.pszName).ToUtf8() << " and "
                                << CString(b.pszName).ToUtf8() << " name one member";
        }
    }
}

TEST(PeltoConfigModel, SettersStoreAnyValueUnchecked) {
    CPeltoConfig config;
    config.SetSnapMode(7);
    EXPECT_EQ(config.GetSnapMode(), 7);
    config.SetSnapDelayTime(4294967295u);
    EXPECT_EQ(config.GetSnapDelayTime(), 4294967295u);
    for (const IntRow& row : kInts) {
        for (int nValue : {-12345, 9, 0x7FFFFFFF}) {
            row.set(config, nValue);
            EXPECT_EQ(row.get(config), nValue) << row.name;
        }
    }
    // Each hot key has its own storage: set them all to distinct values first, then read.
    WORD wSeed = 0x100;
    for (const HotkeyRow& row : kHotkeys) {
        (config.*row.set)(static_cast<WORD>(wSeed | 0x0F), static_cast<WORD>(0xFF00 - wSeed));
        wSeed = static_cast<WORD>(wSeed + 0x100);
    }
    wSeed = 0x100;
    for (const HotkeyRow& row : kHotkeys) {
        WORD wModifier = 0, wVk = 0;
        (config.*row.get)(wModifier, wVk);
        EXPECT_EQ(wModifier, static_cast<WORD>(wSeed | 0x0F)) << row.name;
        EXPECT_EQ(wVk, static_cast<WORD>(0xFF00 - wSeed)) << row.name;
        wSeed = static_cast<WORD>(wSeed + 0x100);
    }
    config.SetAppName(L"");
    EXPECT_EQ(config.GetAppName(), L"");
    config.SetEditAppPath(L"C:/tools/paint.exe");
    EXPECT_EQ(config.GetEditAppPath(), L"C:/tools/paint.exe");
}

TEST(PeltoConfigModel, SettingsAreIndependentOfEachOther) {
    // A setter that wrote the wrong member would show up as another getter leaving its default.
    for (const IntRow& changed : kInts) {
        CPeltoConfig config;
        changed.set(config, 777);
        for (const IntRow& row : kInts) {
            EXPECT_EQ(row.get(config), &row == &changed ? 777 : DefaultOf(row.wname))
                << "after setting " << changed.name << ", " << row.name;
        }
        EXPECT_EQ(config.GetSnapDelayTime(), static_cast<UINT>(DefaultOf(L"SnapDelayTime")))
            << "after setting " << changed.name;
    }
}

TEST(PeltoConfigModel, ResetImageOptionRestoresOnlyTheEffects) {
    CPeltoConfig config;
    // A value of its own for every setting, none of them a default.
    int nValue = 1000;
    for (const IntRow& row : kInts) row.set(config, nValue++);
    config.SetSnapDelayTime(1234);
    config.SetEditAppPath(L"gimp.exe");
    config.SetAppName(L"名字");
    config.SetWinObjHotkey(4, 0x41);

    config.ResetImageOption();

    // The ten effect switches and their six amounts, and nothing else.
    size_t nReset = 0;
    nValue = 1000;
    for (const IntRow& row : kInts) {
        const CPeltoConfigFields::Field* pField = Row(row.wname);
        ASSERT_NE(pField, nullptr);
        if (pField->bResetByImageOption) {
            ++nReset;
            EXPECT_EQ(row.get(config), pField->nDefault) << row.name << " must be reset";
        } else {
            EXPECT_EQ(row.get(config), nValue) << row.name << " must keep its value";
        }
        ++nValue;
    }
    EXPECT_EQ(nReset, 16u);
    EXPECT_EQ(config.GetAutoCopy(), 1020);
    EXPECT_EQ(config.GetSnapMode(), 1021);
    EXPECT_EQ(config.GetSnapDelayTime(), 1234u);
    EXPECT_EQ(config.GetEditAppPath(), L"gimp.exe");
    EXPECT_EQ(config.GetAppName(), L"名字");
    EXPECT_EQ(config.m_bApplyEffects, 1);
    EXPECT_EQ(config.m_bColorReplace, 0);
    EXPECT_EQ(config.m_bSmoothTransform, 1);
    WORD wModifier = 0, wVk = 0;
    config.GetWinObjHotkey(wModifier, wVk);
    EXPECT_EQ(wModifier, 4);
    EXPECT_EQ(wVk, 0x41);
}

TEST(PeltoConfigModel, CopiesCarryEverySettingAndStayIndependent) {
    CPeltoConfig original;
    original.SetAppName(L"改过的名字");
    original.SetEditAppPath(L"D:\\编辑\\edit.exe");
    original.SetBlurFactor(17);
    original.SetSnapDelayTime(99);
    original.SetShowHideHotkey(3, 0x51);
    original.m_bColorReplace = 1;

    CPeltoConfig copy(original);
    EXPECT_EQ(copy.GetAppName(), L"改过的名字");
    EXPECT_EQ(copy.GetEditAppPath(), L"D:\\编辑\\edit.exe");
    EXPECT_EQ(copy.GetBlurFactor(), 17);
    EXPECT_EQ(copy.GetSnapDelayTime(), 99u);
    EXPECT_EQ(copy.m_bColorReplace, 1);
    WORD wModifier = 0, wVk = 0;
    copy.GetShowHideHotkey(wModifier, wVk);
    EXPECT_EQ(wModifier, 3);
    EXPECT_EQ(wVk, 0x51);

    copy.SetAppName(L"副本");
    copy.SetEditAppPath(L"x.exe");
    copy.SetBlurFactor(1);
    EXPECT_EQ(original.GetAppName(), L"改过的名字");
    EXPECT_EQ(original.GetEditAppPath(), L"D:\\编辑\\edit.exe");
    EXPECT_EQ(original.GetBlurFactor(), 17);

    CPeltoConfig assigned;
    assigned = original;
    EXPECT_EQ(assigned.GetAppName(), L"改过的名字");
    EXPECT_EQ(assigned.GetSnapDelayTime(), 99u);
    EXPECT_EQ(assigned.m_bColorReplace, 1);
    assigned.SetAppName(L"又一个");
    EXPECT_EQ(original.GetAppName(), L"改过的名字");

    const CPeltoConfig& alias = assigned;
    assigned = alias;  // self-assignment keeps the values
    EXPECT_EQ(assigned.GetAppName(), L"又一个");
}
