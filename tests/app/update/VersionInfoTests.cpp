// Reading version resources: the program's own, a file with two translations, none and an empty
// translation table.
#include <gtest/gtest.h>

#include "app/update/FileVersionInfo.h"
#include "tests/app/update/UpdateTestSupport.h"

TEST(FileVersionInfoTest, ReadsTheProgramsOwnVersion) {
    std::wstring pelto = TestProgramFolder() + L"pelto.exe";
    // The program has one translation: every user language reads it.
    for (LANGID user : {LANGID(0x0804), LANGID(0x0409), LANGID(0x0407)}) {
        FileVersionInfo info;
        ASSERT_TRUE(info.Create(pelto.c_str(), user)) << std::hex << user;
        EXPECT_STREQ(L"2.1.0.1", info.GetFileVersion());
        EXPECT_STREQ(L"Noram截图", info.m_strProductName);
        EXPECT_STREQ(L"Noram软件", info.m_strCompanyName);
        EXPECT_STREQ(L"Noram截图主程序", info.m_strFileDescription);
        EXPECT_STREQ(L"pelto.exe", info.m_strOriginalFileName);
        EXPECT_STREQ(L"Pelto", info.m_strInternalName);
        EXPECT_STREQ(L"Noram", info.m_strLegalTrademarks);
        EXPECT_STREQ(L"", info.m_strPrivateBuild);
        EXPECT_EQ(0x00020001u, info.m_fixedInfo.dwFileVersionMS);
        EXPECT_EQ(0x00000001u, info.m_fixedInfo.dwFileVersionLS);
    }
    // The running program (here the test program, which carries the same resources).
    FileVersionInfo self;
    ASSERT_TRUE(self.Create(static_cast<HMODULE>(nullptr)));
    EXPECT_STREQ(L"2.1.0.1", self.GetFileVersion());
}

TEST(FileVersionInfoTest, ChoosesAmongTwoTranslations) {
    std::wstring dll = TestProgramFolder() + L"update_two_translations.dll";
    struct Case {
        LANGID user;
        const wchar_t* description;
    } const cases[] = {{0x0804, L"中文说明"},
                       {0x0407, L"English description"},
                       {0x0409, L"English description"},
                       {0x0c04, L"中文说明"},
                       {0x0411, L"English description"}};
    for (const Case& c : cases) {
        FileVersionInfo info;
        ASSERT_TRUE(info.Create(dll.c_str(), c.user)) << std::hex << c.user;
        EXPECT_STREQ(c.description, info.m_strFileDescription) << std::hex << c.user;
        EXPECT_STREQ(L"1.2.3.4", info.GetFileVersion());
    }
}

TEST(FileVersionInfoTest, ReadsNothingWithoutVersionOrTranslation) {
    for (const wchar_t* name : {L"update_no_version.dll", L"update_no_translation.dll"}) {
        FileVersionInfo info;
        info.m_strComments = L"left over";
        EXPECT_FALSE(info.Create((TestProgramFolder() + name).c_str(), LANGID(0x0804)))
            << Narrow(name);
        for (const CString* s : {&info.m_strComments, &info.m_strFileVersion,
                                 &info.m_strProductName, &info.m_strFileDescription})
            EXPECT_STREQ(L"", *s) << Narrow(name);
    }
}
