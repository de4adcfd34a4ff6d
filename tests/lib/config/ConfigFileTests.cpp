// config.xml: the exact file of the defaults, how a file is applied key by key, and a save that
// never loses the previous file.
#include <gtest/gtest.h>

#include <string>

#include "lib/config/AppPath.h"
#include "lib/config/PeltoConfig.h"
#include "lib/config/XmlFile.h"
#include "lib/config/XmlTree.h"
#include "tests/lib/config/ConfigTestIds.h"
#include "tests/lib/config/ConfigTestSupport.h"

using config_test::CTempFolder;
using config_test::FirstDifference;
using config_test::FromUtf16;
using config_test::ReadBytes;
using config_test::Show;
using config_test::Utf16;
using config_test::WriteBytes;

namespace {

std::string ExpectedDefaultBytes() { return config_test::LoadResourceBytes(IDR_DEFAULT_CONFIG); }

std::string SavedBytes(const CPeltoConfig& config) {
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    config.SaveConfigFile(strPath);
    return ReadBytes(strPath);
}

// The expected default file with one value line changed.
std::string DefaultsWith(const std::wstring& key, const std::wstring& indent,
                         const std::wstring& oldValue, const std::wstring& newValue) {
    std::wstring text = FromUtf16(ExpectedDefaultBytes());
    std::wstring from = L"<" + key + L">\n" + indent + oldValue + L"\n";
    size_t nAt = text.find(from);
    if (nAt == std::wstring::npos) return "<key " + CString(key).ToUtf8() + " not found>";
    text.replace(nAt, from.size(), L"<" + key + L">\n" + indent + newValue + L"\n");
    return Utf16(text);
}

void ExpectSameBytes(const std::string& actual, const std::string& expected) {
    EXPECT_EQ(actual, expected) << "first difference at byte " << FirstDifference(actual, expected)
                                << "\nactual:   " << Show(actual)
                                << "\nexpected: " << Show(expected);
}

// Loads the text into a default object and returns the file that object saves.
std::string SavedAfterLoading(const std::wstring& text) {
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    WriteBytes(strPath, Utf16(text));
    CPeltoConfig config;
    config.LoadConfigFile(strPath);
    return SavedBytes(config);
}

CPeltoConfig LoadedFrom(const std::wstring& text) {
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    WriteBytes(strPath, Utf16(text));
    CPeltoConfig config;
    config.LoadConfigFile(strPath);
    return config;
}

int CountStartTags(const std::wstring& text) {
    int n = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'<' && text[i + 1] != L'/') ++n;
    }
    return n;
}

}  // namespace

TEST(ConfigFile, DefaultsAreSavedExactlyAsTheReferenceFile) {
    std::string expected = ExpectedDefaultBytes();
    ASSERT_GT(expected.size(), 1000u) << "reference file missing from the test program";
    EXPECT_EQ(CountStartTags(FromUtf16(expected)), 49);
    ExpectSameBytes(SavedBytes(CPeltoConfig()), expected);
}

TEST(ConfigFile, MissingFileKeepsDefaultsAndSavesAllElements) {
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    CPeltoConfig config;
    config.SetBlurFactor(8);
    config.LoadConfigFile(strPath);
    EXPECT_EQ(config.GetBlurFactor(), 8) << "a missing file must change nothing";
    config.SetBlurFactor(5);
    config.SaveConfigFile(strPath);
    std::string saved = ReadBytes(strPath);
    ExpectSameBytes(saved, ExpectedDefaultBytes());

    XML_Tree tree;
    XML_File::ReadXMLFile(tree, strPath);
    ASSERT_NE(tree.GetRoot(), nullptr);
    EXPECT_EQ(tree.GetRoot()->GetName(), L"Snapper");
    EXPECT_EQ(folder.ListFiles(), "config.xml");
}

TEST(ConfigFile, OnlyTheKeysInTheFileChange) {
    ExpectSameBytes(
        SavedAfterLoading(L"<Snapper><Basic><KeepOnTop>0</KeepOnTop></Basic></Snapper>"),
        DefaultsWith(L"KeepOnTop", L"   ", L"1", L"0"));
    // A root of another name works the same; its name plays no role.
    ExpectSameBytes(SavedAfterLoading(L"<Other>\n <AppData>\n  <SnapMode>4</SnapMode></AppData>"),
                    DefaultsWith(L"SnapMode", L"   ", L"0", L"4"));
}

TEST(ConfigFile, KeysCountOnlyInTheirOwnGroup) {
    ExpectSameBytes(SavedAfterLoading(L"<Snapper><SnapMode>3</SnapMode>"
                                      L"<Image><KeepOnTop>0</KeepOnTop></Image>"
                                      L"<Basic><Author>x</Author></Basic></Snapper>"),
                    ExpectedDefaultBytes());
}

TEST(ConfigFile, FirstOccurrenceOfANameCounts) {
    CPeltoConfig config = LoadedFrom(
        L"<S><AppData><SnapMode>2</SnapMode><SnapMode>5</SnapMode></AppData>"
        L"<AppData><SnapMode>4</SnapMode></AppData><AppName>一</AppName><AppName>二</AppName></S>");
    EXPECT_EQ(config.GetSnapMode(), 2);
    EXPECT_EQ(config.GetAppName(), L"一");
}

TEST(ConfigFile, ValuesAreConvertedAsNumbersOfTheirKind) {
    CPeltoConfig config = LoadedFrom(
        L"<S><Basic><HideMainWnd>7</HideMainWnd></Basic>"
        L"<Image><RotateAngle>abc</RotateAngle><BlurFactor>  8px</BlurFactor>"
        L"<SharpenFactor></SharpenFactor><EditAppPath></EditAppPath></Image>"
        L"<HotKey><NewSnapVk>65537</NewSnapVk><NewSnapModifier>-1</NewSnapModifier>"
        L"<ShowHideModifier>255</ShowHideModifier></HotKey>"
        L"<AppData><SnapMode>9</SnapMode></AppData><Mail></Mail></S>");
    EXPECT_EQ(config.GetHideMainWnd(), 7);
    EXPECT_EQ(config.GetRotateAngle(), 0) << "text without digits gives 0";
    EXPECT_EQ(config.GetBlurFactor(), 8);
    EXPECT_EQ(config.GetSharpenFactor(), 0) << "an empty element gives 0";
    EXPECT_EQ(config.GetEditAppPath(), L"") << "an empty element gives the empty string";
    WORD wModifier = 0, wVk = 0;
    config.GetNewSnapHotkey(wModifier, wVk);
    EXPECT_EQ(wVk, 1) << "65537 keeps its low 16 bits";
    EXPECT_EQ(wModifier, 0xFFFF);
    config.GetShowHideHotkey(wModifier, wVk);
    EXPECT_EQ(wModifier, 255);
    EXPECT_EQ(wVk, 0x77) << "a key that is not in the file keeps its default";
    EXPECT_EQ(config.GetSnapMode(), 9);

    // The empty Mail element is written back without a value line.
    std::wstring saved = FromUtf16(SavedBytes(config));
    EXPECT_NE(saved.find(L" <Mail>\n </Mail>\n"), std::wstring::npos);
}

TEST(ConfigFile, FileWithCarriageReturnsStillLoads) {
    std::wstring text = FromUtf16(ExpectedDefaultBytes());
    CString crlf(text);
    crlf.Replace(L"\n", L"\r\n");
    crlf.Replace(L"<KeepOnTop>\r\n   1", L"<KeepOnTop>\r\n   0");
    crlf.Replace(L"<AppName>\r\n  Noram截图（Noram出品）", L"<AppName>\r\n  新名字");
    CPeltoConfig config = LoadedFrom(crlf.str());
    EXPECT_EQ(config.GetKeepOnTop(), 0);
    EXPECT_EQ(config.GetSnapDelayTime(), 500u);
    // Strings keep the carriage returns around them, as the reader's rules say.
    EXPECT_EQ(config.GetAppName(), L"\r\n  新名字\r");
}

TEST(ConfigFile, SaveLoadSaveIsByteIdentical) {
    CPeltoConfig config;
    config.SetAppName(L"截图 / Snap");
    config.SetEditAppPath(L"C:/Program Files/编辑器/edit.exe");
    config.SetPlaySnapSound(0);
    config.SetHideMainWnd(0);
    config.SetSnapOnStart(1);
    config.SetSnapDelayTime(15000u);
    config.SetKeepOnTop(0);
    config.SetGrayScale(1);
    config.SetNegate(1);
    config.SetScale(1);
    config.SetRotate(1);
    config.SetFlipHorz(1);
    config.SetFlipVert(1);
    config.SetShearDown(1);
    config.SetShearAcross(1);
    config.SetBlur(1);
    config.SetSharpen(1);
    config.SetAutoCopy(1);
    config.SetRotateAngle(-90);
    config.SetShearAcrossAmout(11);
    config.SetShearDownAmout(22);
    config.SetBlurFactor(3);
    config.SetSharpenFactor(4);
    config.SetNewSnapHotkey(0xFFFF, 0x8000);
    config.SetFullScreenHotkey(1, 2);
    config.SetActiveWinHotkey(3, 4);
    config.SetCurrentWinHotkey(5, 6);
    config.SetWinClientHotkey(7, 8);
    config.SetWinObjHotkey(9, 10);
    config.SetSelectRectHotkey(11, 12);
    config.SetShowHideHotkey(13, 14);
    config.SetSnapMode(5);

    CTempFolder folder;
    CString strFirst = folder.File(L"first.xml");
    CString strSecond = folder.File(L"second.xml");
    config.SaveConfigFile(strFirst);
    CPeltoConfig loaded;
    loaded.LoadConfigFile(strFirst);
    loaded.SaveConfigFile(strSecond);
    std::string first = ReadBytes(strFirst);
    ExpectSameBytes(ReadBytes(strSecond), first);

    std::wstring text = FromUtf16(first);
    EXPECT_NE(text.find(L"<NewSnapModifier>\n   65535\n"), std::wstring::npos)
        << "hot-key words are widened without sign";
    EXPECT_NE(text.find(L"C:\\colonProgram Files\\colon编辑器\\colonedit.exe"), std::wstring::npos);
    EXPECT_EQ(loaded.GetSnapDelayTime(), 15000u);
    EXPECT_EQ(loaded.GetEditAppPath(), L"C:/Program Files/编辑器/edit.exe");
    EXPECT_EQ(loaded.GetAppName(), L"截图 / Snap");
    EXPECT_EQ(loaded.GetRotateAngle(), -90);
    EXPECT_EQ(loaded.GetShearAcrossAmout(), 11) << "XShearAmount is the across amount";
    EXPECT_EQ(loaded.GetShearDownAmout(), 22) << "YShearAmount is the down amount";
    WORD wModifier = 0, wVk = 0;
    loaded.GetNewSnapHotkey(wModifier, wVk);
    EXPECT_EQ(wModifier, 0xFFFF);
    EXPECT_EQ(wVk, 0x8000);

    // A delay set beyond what the reader accepts is still written as it is: as a signed number.
    config.SetSnapDelayTime(4294967295u);
    EXPECT_NE(FromUtf16(SavedBytes(config)).find(L"<SnapDelayTime>\n   -1\n"), std::wstring::npos)
        << "the unsigned delay is written as a signed number";
}

TEST(ConfigFile, NumbersTheOptionsSheetCannotGiveAreBroughtBackAtLoad) {
    struct Case {
        const wchar_t* pszGroup;
        const wchar_t* pszKey;
        const wchar_t* pszText;
        int nExpected;
    } cases[] = {
        // The delay: a negative number is no delay (-1 would be an endless Sleep), a larger one
        // the longest the sheet allows.
        {L"Basic", L"SnapDelayTime", L"-1", 0},
        {L"Basic", L"SnapDelayTime", L"-2147483648", 0},
        {L"Basic", L"SnapDelayTime", L"15001", 15000},
        {L"Basic", L"SnapDelayTime", L"4294967295", 15000},
        {L"Basic", L"SnapDelayTime", L"15000", 15000},
        {L"Basic", L"SnapDelayTime", L"0", 0},
        // The angle: the default outside a whole turn either way.
        {L"Image", L"RotateAngle", L"361", 45},
        {L"Image", L"RotateAngle", L"-361", 45},
        {L"Image", L"RotateAngle", L"2147483647", 45},
        {L"Image", L"RotateAngle", L"-360", -360},
        {L"Image", L"RotateAngle", L"360", 360},
        // The filter factors: the end of 0..10 that the filters would use.
        {L"Image", L"BlurFactor", L"-3", 0},
        {L"Image", L"BlurFactor", L"11", 10},
        {L"Image", L"BlurFactor", L"10", 10},
        {L"Image", L"SharpenFactor", L"-2147483648", 0},
        {L"Image", L"SharpenFactor", L"99", 10},
        {L"Image", L"SharpenFactor", L"0", 0},
    };
    for (const Case& c : cases) {
        std::wstring key(c.pszKey);
        SCOPED_TRACE(CString(key + L" = " + c.pszText).ToUtf8());
        CPeltoConfig config = LoadedFrom(L"<S><" + std::wstring(c.pszGroup) + L"><" + key + L">" +
                                         c.pszText + L"</" + key + L"></" + c.pszGroup + L"></S>");
        int nActual = 0;
        if (key == L"SnapDelayTime") nActual = static_cast<int>(config.GetSnapDelayTime());
        if (key == L"RotateAngle") nActual = config.GetRotateAngle();
        if (key == L"BlurFactor") nActual = config.GetBlurFactor();
        if (key == L"SharpenFactor") nActual = config.GetSharpenFactor();
        EXPECT_EQ(nActual, c.nExpected);
    }
}

TEST(ConfigFile, UnstoredSettingsStartAtTheirDefaults) {
    CPeltoConfig config;
    config.SetScaleFactor(10);
    config.m_bApplyEffects = 0;
    config.m_bColorReplace = 1;
    config.m_bSmoothTransform = 0;
    std::string saved = SavedBytes(config);
    ExpectSameBytes(saved, ExpectedDefaultBytes());

    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    ASSERT_TRUE(WriteBytes(strPath, saved));
    CPeltoConfig restarted;
    restarted.LoadConfigFile(strPath);
    EXPECT_EQ(restarted.GetScaleFactor(), 50);
    EXPECT_EQ(restarted.m_bApplyEffects, 1);
    EXPECT_EQ(restarted.m_bColorReplace, 0);
    EXPECT_EQ(restarted.m_bSmoothTransform, 1);
}

TEST(ConfigFile, LongStringsAreKeptWhole) {
    // Longer than one line of the format could once hold; saved and loaded without loss.
    std::wstring path = L"D:/" + std::wstring(3000, L'长') + L"/edit.exe";
    std::wstring name(600, L'名');
    CPeltoConfig config;
    config.SetEditAppPath(path.c_str());
    config.SetAppName(name.c_str());
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    config.SaveConfigFile(strPath);
    CPeltoConfig loaded;
    loaded.LoadConfigFile(strPath);
    EXPECT_EQ(loaded.GetEditAppPath().GetLength(), static_cast<int>(path.size()));
    EXPECT_TRUE(loaded.GetEditAppPath() == path.c_str());
    EXPECT_TRUE(loaded.GetAppName() == name.c_str());
}

TEST(ConfigSave, ReplacesTheOldFileAndLeavesNoTemporaryFile) {
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    ASSERT_TRUE(WriteBytes(strPath, std::string(500000, 'x')));  // longer than the new file
    CPeltoConfig().SaveConfigFile(strPath);
    ExpectSameBytes(ReadBytes(strPath), ExpectedDefaultBytes());
    EXPECT_EQ(folder.ListFiles(), "config.xml");
}

TEST(ConfigSave, FailedReplaceKeepsTheOldFile) {
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    const std::string old = Utf16(L"<Snapper><AppData><SnapMode>3</SnapMode></AppData></Snapper>");
    ASSERT_TRUE(WriteBytes(strPath, old));
    // Another program holds the file open without letting it be replaced: the new file is
    // written completely beside it and then cannot take its place.
    HANDLE hHolder = ::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(hHolder, INVALID_HANDLE_VALUE);
    CPeltoConfig config;
    config.SetSnapMode(1);
    config.SaveConfigFile(strPath);
    ::CloseHandle(hHolder);
    ExpectSameBytes(ReadBytes(strPath), old);
    EXPECT_EQ(folder.ListFiles(), "config.xml")
        << "the new file that could not be used must be removed";

    // Once the file is free again, the next save goes through.
    config.SaveConfigFile(strPath);
    CPeltoConfig loaded;
    loaded.LoadConfigFile(strPath);
    EXPECT_EQ(loaded.GetSnapMode(), 1);
}

TEST(ConfigSave, UnwritableTargetsLoseOnlyThisRun) {
    CTempFolder folder;
    // A folder that does not exist: nothing is written anywhere, nothing fails loudly.
    CString strMissing = folder.File(L"no such folder\\config.xml");
    CPeltoConfig().SaveConfigFile(strMissing);
    EXPECT_FALSE(config_test::FileExists(strMissing));
    // A folder where the file should be: it stays a folder, and no temporary file is left.
    CString strDir = folder.File(L"config.xml");
    ASSERT_TRUE(::CreateDirectoryW(strDir, nullptr));
    CPeltoConfig().SaveConfigFile(strDir);
    EXPECT_TRUE(::GetFileAttributesW(strDir) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(folder.ListFiles(), "config.xml");
    // Loading from either gives the defaults.
    CPeltoConfig config;
    config.LoadConfigFile(strMissing);
    config.LoadConfigFile(strDir);
    ExpectSameBytes(SavedBytes(config), ExpectedDefaultBytes());
}

TEST(ConfigLocation, AppPathIsTheExecutablesFolder) {
    wchar_t szModule[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(nullptr, szModule, MAX_PATH * 4);
    CString strModule(szModule);
    CString strAppPath = GetAppPath();
    ASSERT_FALSE(strAppPath.IsEmpty());
    EXPECT_EQ(strAppPath.Right(1), L"\\");
    EXPECT_EQ(strAppPath, strModule.Left(strModule.ReverseFind(L'\\') + 1));
    EXPECT_EQ(CPeltoConfig::GetConfigPath(), strAppPath + L"config.xml");
}

TEST(ConfigLocation, LoadAndSaveUseConfigXmlBesideTheProgram) {
    CString strPath = CPeltoConfig::GetConfigPath();
    std::string before = ReadBytes(strPath);
    bool bExisted = config_test::FileExists(strPath);

    CPeltoConfig config;
    config.SetSnapMode(4);
    config.SetAppName(L"位置测试");
    config.SaveConfig();
    std::string saved = ReadBytes(strPath);
    CPeltoConfig loaded;
    loaded.LoadConfig();

    // Put back whatever was there before.
    if (bExisted) {
        WriteBytes(strPath, before);
    } else {
        ::DeleteFileW(strPath);
    }

    EXPECT_EQ(loaded.GetSnapMode(), 4);
    EXPECT_EQ(loaded.GetAppName(), L"位置测试");
    ExpectSameBytes(saved, SavedBytes(config));
}
