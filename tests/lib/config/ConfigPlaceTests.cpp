// Where the settings live: beside the program while that folder can be written, in the
// application-data folder otherwise, and never lost between the two.
#include <windows.h>

#include <gtest/gtest.h>

#include "lib/config/PeltoConfig.h"

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
