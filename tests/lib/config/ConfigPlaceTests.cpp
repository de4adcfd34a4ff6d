// Where the settings live: beside the program while that folder can be written, in the
// application-data folder otherwise, and never lost between the two.
#include <windows.h>

#include <gtest/gtest.h>

#include "lib/config/AppPath.h"
#include "lib/config/PeltoConfig.h"
#include "tests/lib/config/ConfigTestSupport.h"

TEST(ConfigPlace, ProgramFolderWinsOnlyWhileWritableAndHoldingItsFile) {
    const CString P = L"C:\\Program Files\\Pelto\\config.xml";
    const CString A = L"C:\\Users\\u\\AppData\\Roaming\\Pelto\\config.xml";
    struct Row {
        bool bWritable, bProgramFile, bAppDataFile;
        const wchar_t* read;  // P, A or none
        const wchar_t* first;
        const wchar_t* second;
    } rows[] = {
        // A portable copy in a writable folder keeps its own file.
        {true, true, false, L"P", L"P", L"A"},
        {true, true, true, L"P", L"P", L"A"},
        // A writable folder without a file: settings that moved away stay where they went.
        {true, false, true, L"A", L"A", L"P"},
        {true, false, false, L"", L"P", L"A"},
        // Installed under a folder that cannot be written.
        {false, false, false, L"", L"A", L"P"},
        {false, false, true, L"A", L"A", L"P"},
        {false, true, false, L"P", L"A", L"P"},
        {false, true, true, L"A", L"A", L"P"},
    };
    auto name = [&](const CString& s) { return s == P ? L"P" : s == A ? L"A" : L""; };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << "writable " << r.bWritable << ", program file "
                                        << r.bProgramFile << ", app-data file " << r.bAppDataFile);
        CPeltoConfig::ConfigPlaces places = {P, A, r.bWritable, r.bProgramFile, r.bAppDataFile};
        EXPECT_STREQ(name(CPeltoConfig::ChooseFileToRead(places)), r.read);
        CString first, second;
        CPeltoConfig::ChooseFilesToWrite(places, first, second);
        EXPECT_STREQ(name(first), r.first);
        EXPECT_STREQ(name(second), r.second);
    }
}

TEST(ConfigPlace, AppDataPathFollowsTheEnvironment) {
    wchar_t saved[MAX_PATH] = L"";
    DWORD n = ::GetEnvironmentVariableW(L"APPDATA", saved, MAX_PATH);
    ::SetEnvironmentVariableW(L"APPDATA", L"D:\\Data");
    EXPECT_EQ(CPeltoConfig::GetAppDataConfigPath(), CString(L"D:\\Data\\Pelto\\config.xml"));
    ::SetEnvironmentVariableW(L"APPDATA", nullptr);
    EXPECT_TRUE(CPeltoConfig::GetAppDataConfigPath().IsEmpty());
    ::SetEnvironmentVariableW(L"APPDATA", n ? saved : nullptr);
}

// A program file that cannot be replaced sends the save to the application-data folder; when
// neither place takes it the save says so, and the program file is never touched.
TEST(ConfigPlace, SaveThatCannotReplaceTheProgramFileGoesToAppData) {
    using config_test::ReadBytes;
    const CString strProgram = GetAppPath() + L"config.xml";
    const bool bExisted = config_test::FileExists(strProgram);
    const std::string before = ReadBytes(strProgram);
    wchar_t savedAppData[MAX_PATH] = L"";
    const DWORD nAppData = ::GetEnvironmentVariableW(L"APPDATA", savedAppData, MAX_PATH);
    config_test::CTempFolder data;
    ::SetEnvironmentVariableW(L"APPDATA", data.GetPath());
    const CString strAppData = CPeltoConfig::GetAppDataConfigPath();

    CPeltoConfig old;
    old.SetSnapMode(3);
    old.SaveConfigFile(strProgram);
    const std::string oldBytes = ReadBytes(strProgram);
    auto snapModeIn = [](const CString& strPath) {
        CPeltoConfig c;
        c.LoadConfigFile(strPath);
        return c.GetSnapMode();
    };
    CPeltoConfig config;
    {
        // Another program holds the file without letting it be replaced.
        HANDLE hHolder = ::CreateFileW(strProgram, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(hHolder, INVALID_HANDLE_VALUE);
        config.SetSnapMode(4);
        config.SaveConfig();
        EXPECT_FALSE(config.LastSaveFailed());
        EXPECT_EQ(snapModeIn(strAppData), 4);
        // An application-data folder that cannot be made either: nothing is written, and the
        // caller learns it.
        ::SetEnvironmentVariableW(L"APPDATA", data.File(L"no such folder"));
        config.SaveConfig();
        EXPECT_TRUE(config.LastSaveFailed());
        ::SetEnvironmentVariableW(L"APPDATA", data.GetPath());
        ::CloseHandle(hHolder);
    }
    EXPECT_EQ(ReadBytes(strProgram), oldBytes);
    // A read-only program file: the settings are read from and saved to the other place.
    ::SetFileAttributesW(strProgram, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(CPeltoConfig::GetConfigPath(), strAppData);
    CPeltoConfig loaded;
    loaded.LoadConfig();
    EXPECT_EQ(loaded.GetSnapMode(), 4);
    loaded.SetSnapMode(5);
    loaded.SaveConfig();
    EXPECT_FALSE(loaded.LastSaveFailed());
    EXPECT_EQ(snapModeIn(strAppData), 5);
    EXPECT_EQ(ReadBytes(strProgram), oldBytes);

    ::SetFileAttributesW(strProgram, FILE_ATTRIBUTE_NORMAL);
    if (bExisted) {
        config_test::WriteBytes(strProgram, before);
    } else {
        ::DeleteFileW(strProgram);
    }
    ::DeleteFileW(strAppData);
    ::RemoveDirectoryW(data.File(L"Pelto"));
    ::SetEnvironmentVariableW(L"APPDATA", nAppData ? savedAppData : nullptr);
}
