// Saving settings whatever they hold: a string the file cannot carry costs no other setting, and
// what killed saves left behind goes away with the next save.
#include <gtest/gtest.h>

#include <string>

#include "lib/config/PeltoConfig.h"
#include "lib/config/XmlFile.h"
#include "tests/lib/config/ConfigTestSupport.h"

using config_test::CTempFolder;
using config_test::ReadBytes;
using config_test::Show;
using config_test::WriteBytes;

namespace {

// Every group holds a value that differs from its default, so a setting that a broken file
// loses shows in the reloaded object.
CPeltoConfig NonDefaults(const wchar_t* pszString) {
    CPeltoConfig config;
    config.SetAppName(pszString);
    config.SetKeepOnTop(!config.GetKeepOnTop());
    config.SetSnapDelayTime(4321);
    config.SetEditAppPath(pszString);
    config.SetRotateAngle(33);
    config.SetBlurFactor(9);
    config.SetSharpen(!config.GetSharpen());
    config.SetShowHideHotkey(0x0102, 0x51);
    config.SetSnapMode(4);
    return config;
}

std::string Saved(const CPeltoConfig& config) {
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    config.SaveConfigFile(strPath);
    return ReadBytes(strPath);
}

}  // namespace

TEST(ConfigHostile, StringsTheFileCannotCarryCostNoOtherSetting) {
    struct Case {
        const wchar_t* value;
        const wchar_t* stored;  // what the next run reads
    } cases[] = {
        {L"C:\\tools\\a<b>.exe", L"C:\\tools\\ab>.exe"},
        {L"<Basic><KeepOnTop>5", L"Basic>KeepOnTop>5"},
        {L"</Image></Snapper>", L"/Image>/Snapper>"},
        {L"<", L""},
        {L"x>y", L"x>y"},
        {L"  mspaint.exe\t", L"mspaint.exe"},
        {L" \n\t ", L""},
        {L"C:\\colonies\\x.exe", L"C:/ies\\x.exe"},
        {L"a\\<colon <", L"a/"},
        {L"\r1\r", L"\r1\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.value).ToUtf8());
        CString strStored(c.stored);
        CString strValue(c.value);
        XML_File::MakeStorableValue(strValue);
        EXPECT_TRUE(strValue == strStored) << strValue.ToUtf8();

        CTempFolder folder;
        CString strPath = folder.File(L"config.xml");
        NonDefaults(c.value).SaveConfigFile(strPath);
        CPeltoConfig loaded;
        loaded.LoadConfigFile(strPath);
        EXPECT_TRUE(loaded.GetEditAppPath() == strStored) << loaded.GetEditAppPath().ToUtf8();
        EXPECT_TRUE(loaded.GetAppName() == strStored) << loaded.GetAppName().ToUtf8();
        // Everything else came back: the reloaded object saves the same file as one that was
        // given the stored string in the first place.
        const std::string expected = Saved(NonDefaults(c.stored));
        const std::string actual = Saved(loaded);
        EXPECT_EQ(actual, expected) << Show(actual);
        EXPECT_EQ(ReadBytes(strPath), expected);
    }
}

TEST(ConfigHostile, NextSaveRemovesWhatKilledSavesLeftBehind) {
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    // A copy of the program that is still running may be in the middle of its own save.
    wchar_t szExe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, szExe, MAX_PATH);
    std::wstring strCommand = std::wstring(L"\"") + szExe + L"\" --gtest_list_tests";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(::CreateProcessW(szExe, &strCommand[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                 nullptr, nullptr, &si, &pi));
    const std::wstring strRunning = L"config.xml." + std::to_wstring(pi.dwProcessId) + L"-3.tmp";
    const std::wstring strOwn =
        L"config.xml." + std::to_wstring(::GetCurrentProcessId()) + L"-900.tmp";
    struct File {
        std::wstring name;
        bool kept;
    } files[] = {
        {L"config.xml.4294967292-1.tmp", false},  // no process has this id
        {strOwn, false},                          // an earlier process that had our id
        {strRunning, true},
        {L"config.xml.bak", true},
        {L"config.xml.12-x.tmp", true},
        {L"config.xml.-1.tmp", true},
        {L"config.xml.4294967296-1.tmp", true},
        {L"other.xml.4294967292-1.tmp", true},
    };
    for (const File& f : files) ASSERT_TRUE(WriteBytes(folder.File(f.name.c_str()), "partial"));
    CPeltoConfig().SaveConfigFile(strPath);
    ::TerminateProcess(pi.hProcess, 0);
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    std::string listed = folder.ListFiles();
    for (const File& f : files)
        EXPECT_EQ(listed.find(CString(f.name.c_str()).ToUtf8()) != std::string::npos, f.kept)
            << CString(f.name.c_str()).ToUtf8() << " in " << listed;
    EXPECT_NE(listed.find("config.xml|"), std::string::npos);
    EXPECT_EQ(ReadBytes(strPath), Saved(CPeltoConfig()));
}
