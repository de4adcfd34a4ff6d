// The settings object in memory: defaults, accessors, the effect reset, copies.
#include <gtest/gtest.h>

#include "lib/config/PeltoConfig.h"

namespace {

struct HotkeyRow {
    const char* name;
    void (CPeltoConfig::*get)(WORD&, WORD&);
    void (CPeltoConfig::*set)(WORD, WORD);
    WORD wModifier;
    WORD wVk;
};

const HotkeyRow kHotkeys[] = {
    {"NewSnap", &CPeltoConfig::GetNewSnapHotkey, &CPeltoConfig::SetNewSnapHotkey, 0, 0x2C},
    {"FullScreen", &CPeltoConfig::GetFullScreenHotkey, &CPeltoConfig::SetFullScreenHotkey, 2, 0x2C},
    {"ActiveWin", &CPeltoConfig::GetActiveWinHotkey, &CPeltoConfig::SetActiveWinHotkey, 0, 0x72},
    {"CurrentWin", &CPeltoConfig::GetCurrentWinHotkey, &CPeltoConfig::SetCurrentWinHotkey, 0, 0x73},
    {"WinClient", &CPeltoConfig::GetWinClientHotkey, &CPeltoConfig::SetWinClientHotkey, 0, 0x74},
    {"WinObj", &CPeltoConfig::GetWinObjHotkey, &CPeltoConfig::SetWinObjHotkey, 0, 0x75},
    {"SelectRect", &CPeltoConfig::GetSelectRectHotkey, &CPeltoConfig::SetSelectRectHotkey, 0, 0x76},
    {"ShowHide", &CPeltoConfig::GetShowHideHotkey, &CPeltoConfig::SetShowHideHotkey, 0, 0x77},
};

struct IntRow {
    const char* name;
    int (*get)(const CPeltoConfig&);
    void (*set)(CPeltoConfig&, int);
    int nDefault;
};

#define INT_ROW(Name, Default)                                                                      \
    {                                                                                               \
#Name,                                                                                      \
            [](const CPeltoConfig&                                                                  \
                   c) { return static_cast<int>(c.Get##Name()); },                                  \
                                                                [](CPeltoConfig & c,                \
                                                                   int n) { c.Set##Name(n); },      \
                                                                                            Default \
    }

// Every BOOL and int setting with its default; SnapDelayTime is checked on its own.
const IntRow kInts[] = {
    INT_ROW(PlaySnapSound, 1), INT_ROW(HideMainWnd, 1),
    INT_ROW(SnapOnStart, 0),   INT_ROW(KeepOnTop, 1),
    INT_ROW(GrayScale, 0),     INT_ROW(Negate, 0),
    INT_ROW(Scale, 0),         INT_ROW(ScaleFactor, 50),
    INT_ROW(Rotate, 0),        INT_ROW(RotateAngle, 45),
    INT_ROW(FlipHorz, 0),      INT_ROW(FlipVert, 0),
    INT_ROW(ShearDown, 0),     INT_ROW(ShearDownAmout, 50),
    INT_ROW(ShearAcross, 0),   INT_ROW(ShearAcrossAmout, 50),
    INT_ROW(Blur, 0),          INT_ROW(BlurFactor, 5),
    INT_ROW(Sharpen, 0),       INT_ROW(SharpenFactor, 5),
    INT_ROW(AutoCopy, 0),      INT_ROW(SnapMode, 0),
};

}  // namespace

TEST(PeltoConfigModel, FreshObjectHoldsEveryDefault) {
    CPeltoConfig config;
    for (const IntRow& row : kInts) {
        EXPECT_EQ(row.get(config), row.nDefault) << row.name;
    }
    EXPECT_EQ(config.GetSnapDelayTime(), 500u);
    EXPECT_EQ(config.GetAppName(), L"Noram截图（Noram出品）");
    EXPECT_EQ(config.GetEditAppPath(), L"mspaint.exe");
    EXPECT_EQ(config.m_bApplyEffects, 1);
    EXPECT_EQ(config.m_bColorReplace, 0);
    EXPECT_EQ(config.m_bSmoothTransform, 1);
    for (const HotkeyRow& row : kHotkeys) {
        WORD wModifier = 0xBEEF, wVk = 0xBEEF;
        (config.*row.get)(wModifier, wVk);
        EXPECT_EQ(wModifier, row.wModifier) << row.name << " modifier";
        EXPECT_EQ(wVk, row.wVk) << row.name << " key";
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
            EXPECT_EQ(row.get(config), &row == &changed ? 777 : row.nDefault)
                << "after setting " << changed.name << ", " << row.name;
        }
        EXPECT_EQ(config.GetSnapDelayTime(), 500u) << "after setting " << changed.name;
    }
}

TEST(PeltoConfigModel, ResetImageOptionRestoresOnlyTheEffects) {
    CPeltoConfig config;
    for (const IntRow& row : kInts) row.set(config, 1);
    config.SetScaleFactor(10);
    config.SetRotateAngle(90);
    config.SetShearDownAmout(7);
    config.SetShearAcrossAmout(8);
    config.SetBlurFactor(9);
    config.SetSharpenFactor(11);
    config.SetSnapMode(3);
    config.SetSnapDelayTime(1234);
    config.SetEditAppPath(L"gimp.exe");
    config.SetAppName(L"名字");
    config.SetWinObjHotkey(4, 0x41);

    config.ResetImageOption();

    EXPECT_EQ(config.GetGrayScale(), 0);
    EXPECT_EQ(config.GetNegate(), 0);
    EXPECT_EQ(config.GetScale(), 0);
    EXPECT_EQ(config.GetRotate(), 0);
    EXPECT_EQ(config.GetFlipHorz(), 0);
    EXPECT_EQ(config.GetFlipVert(), 0);
    EXPECT_EQ(config.GetShearDown(), 0);
    EXPECT_EQ(config.GetShearAcross(), 0);
    EXPECT_EQ(config.GetBlur(), 0);
    EXPECT_EQ(config.GetSharpen(), 0);
    EXPECT_EQ(config.GetBlurFactor(), 5);
    EXPECT_EQ(config.GetSharpenFactor(), 5);
    EXPECT_EQ(config.GetScaleFactor(), 50);
    EXPECT_EQ(config.GetRotateAngle(), 45);
    EXPECT_EQ(config.GetShearDownAmout(), 50);
    EXPECT_EQ(config.GetShearAcrossAmout(), 50);

    EXPECT_EQ(config.GetAutoCopy(), 1);
    EXPECT_EQ(config.GetSnapMode(), 3);
    EXPECT_EQ(config.GetPlaySnapSound(), 1);
    EXPECT_EQ(config.GetHideMainWnd(), 1);
    EXPECT_EQ(config.GetSnapOnStart(), 1);
    EXPECT_EQ(config.GetKeepOnTop(), 1);
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
