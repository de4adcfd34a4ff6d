// The list file's rules, the progress percentage, SHA-256 and the choice of translation: pure
// functions, run natively under the sanitizers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "app/update/Sha256.h"
#include "app/update/TranslationChoice.h"
#include "app/update/UpdateList.h"

using namespace update;

TEST(UpdateListTest, ComparesVersionsComponentByComponent) {
    struct Case {
        const wchar_t* offered;
        const wchar_t* running;
        bool newer;
    } const cases[] = {
        {L"2.1.0.2", L"2.1.0.1", true},
        {L"2.1.0.1", L"2.1.0.1", false},
        {L"2.0.9.9", L"2.1.0.0", false},
        {L"3.0.0.0", L"2.9.9.9", true},
        {L"2.1.0", L"2.1.0.1", false},
        {L"2.1.0.2a", L"2.1.0.1", false},
        {L"2..1.0.2", L"2.1.0.1", true},
        {L"2.1.0.10", L"2.1.0.9", true},
        {L"2.1.0.1.5", L"2.1.0.1", false},
        {L"2.1.0.2", L"", false},
        {L"3.x.0.0", L"2.1.0.1", true},
        {L"2.1.0.2", L"2.1.0.1 ", false},
        {L"99999999999999999999.0.0.0", L"2.1.0.1", true},
        {L"2.1.0.00002", L"2.1.0.1", true},
        {L"2.1.-1.2", L"2.1.0.1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.newer, IsNewerVersion(c.offered, c.running))
            << "offered " << std::string(c.offered, c.offered + wcslen(c.offered));
}

TEST(UpdateListTest, ParsesLineOne) {
    const std::wstring hash(64, L'a');
    struct Case {
        std::wstring line;
        bool ok;
        const wchar_t* name;
        const wchar_t* version;
        std::wstring sha;
    } const cases[] = {
        {L"setup.exe 2.1.0.2", true, L"setup.exe", L"2.1.0.2", L""},
        {L"setup.exe 2.1.0.2 " + hash, true, L"setup.exe", L"2.1.0.2", hash},
        {L"setup.exe 2.1.0.2 " + hash + L" rest", true, L"setup.exe", L"2.1.0.2", hash},
        {L"setup.exe 2.1.0.2 ", true, L"setup.exe", L"2.1.0.2", L""},
        {L"setup.exe", false, L"", L"", L""},
        {L"setup.exe  2.1.0.2", false, L"", L"", L""},
        {L" 2.1.0.2", false, L"", L"", L""},
        {L"setup.exe 2.1.0.2 added notes", true, L"setup.exe", L"2.1.0.2", L""},
        {L"setup.exe 2.1.0.2 " + hash + L"0", true, L"setup.exe", L"2.1.0.2", L""},
        {L"setup.exe 2.1.0.2 " + std::wstring(64, L'g'), true, L"setup.exe", L"2.1.0.2", L""},
        {L"setup.exe 2.1.0.2 beta 2", true, L"setup.exe", L"2.1.0.2", L""},
        {L"setup.exe 2.1.0.2 2024-05-01", true, L"setup.exe", L"2.1.0.2", L""},
    };
    for (const Case& c : cases) {
        ListHead head;
        ASSERT_EQ(c.ok, ParseListHead(c.line, &head)) << c.line.size();
        if (!c.ok) continue;
        EXPECT_EQ(c.name, head.fileName);
        EXPECT_EQ(c.version, head.version);
        EXPECT_EQ(c.sha, head.sha256);
    }
}

TEST(UpdateListTest, AcceptsOnlyPlainInstallerNames) {
    struct Case {
        const wchar_t* name;
        bool safe;
    } const cases[] = {
        {L"PeltoSetup_2.1.0.2.exe", true},
        {L"setup.EXE", true},
        {L"安装.exe", true},
        {L"..\\evil.exe", false},
        {L"../evil.exe", false},
        {L"sub\\setup.exe", false},
        {L"C:setup.exe", false},
        {L"setup.exe:ads", false},
        {L"setup.txt", false},
        {L"setup", false},
        {L".exe", false},
        {L"a..exe", false},
        {L"CON.exe", false},
        {L"nul.exe", false},
        {L"COM1.exe", false},
        {L"lpt9.exe", false},
        {L"AUX .exe", false},
        {L"set\tup.exe", false},
        {L"set|up.exe", false},
        {L"COM10.exe", true},
        {L"console.exe", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.safe, IsSafeInstallerName(c.name))
            << std::string(c.name, c.name + wcslen(c.name));
}

TEST(UpdateListTest, SplitsLinesOfBothEndings) {
    using V = std::vector<std::string>;
    EXPECT_EQ((V{"a", "b", "c"}), SplitLines("a\r\nb\r\nc\r\n"));
    EXPECT_EQ((V{"a", "b", "c"}), SplitLines("a\nb\nc"));
    EXPECT_EQ((V{"a", "", "c"}), SplitLines("a\r\n\r\nc"));
    EXPECT_EQ(V{}, SplitLines(""));
}

TEST(UpdateListTest, ProgressPercentTruncates) {
    struct Case {
        unsigned long progress, maximum;
        int percent;
    } const cases[] = {{50, 200, 25}, {199, 200, 99},  {200, 200, 100}, {0, 0, 0},
                       {7, 0, 0},     {300, 200, 100}, {1, 3, 33}};
    for (const Case& c : cases)
        EXPECT_EQ(c.percent, ProgressPercent(c.progress, c.maximum))
            << c.progress << "/" << c.maximum;
}

TEST(UpdateListTest, Sha256MatchesKnownDigests) {
    struct Case {
        std::string input;
        const char* digest;
    } const cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const Case& c : cases) {
        Sha256 whole;
        whole.Update(c.input.data(), c.input.size());
        EXPECT_EQ(c.digest, whole.FinishHex()) << c.input.size();
        // Fed in uneven pieces, the same.
        Sha256 pieces;
        for (size_t i = 0; i < c.input.size(); i += 37)
            pieces.Update(c.input.data() + i, std::min<size_t>(37, c.input.size() - i));
        EXPECT_EQ(c.digest, pieces.FinishHex()) << c.input.size();
    }
    EXPECT_TRUE(SameDigest("ab09", L"AB09"));
    EXPECT_FALSE(SameDigest("ab09", L"ab0a"));
}

TEST(UpdateListTest, ChoosesTheTranslation) {
    const uint32_t en = 0x04E40409, zh = 0x03A80804, de = 0x04E40407, neutral = 0x04B00000;
    const uint32_t enGb = 0x04E40809;
    struct Case {
        std::vector<uint32_t> table;
        uint16_t user;
        int chosen;
    } const cases[] = {
        {{en, zh}, 0x0804, 1},
        {{en, zh}, 0x0407, 0},
        {{zh, en}, 0x0407, 1},
        {{zh}, 0x0409, 0},
        {{enGb, en}, 0x0409, 1},
        {{enGb, zh}, 0x0c09, 0},
        {{zh, neutral, en}, 0x0407, 1},
        {{de, zh}, 0x0c07, 0},
        {{}, 0x0804, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.chosen, ChooseTranslation(c.table, c.user)) << std::hex << c.user;
}
