// Bad input from a fixed seed: random bytes, token soup, mutated and truncated configuration
// files, very deep nesting and a very large file. The reader must agree with a plain reading of
// the format's rules, never crash or hang, and keep its memory in proportion.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "lib/config/PeltoConfig.h"
#include "lib/config/XmlFile.h"
#include "lib/config/XmlParser.h"
#include "lib/config/XmlTree.h"
#include "tests/lib/config/ConfigTestIds.h"
#include "tests/lib/config/ConfigTestSupport.h"
#include "tests/lib/config/XmlTestSupport.h"

using config_test::CTempFolder;
using config_test::Dump;
using config_test::FromUtf16;
using config_test::ReadBytes;
using config_test::ReferenceParse;
using config_test::Show;
using config_test::Utf16;
using config_test::WriteBytes;

namespace {

const unsigned kSeed = 20240611;

std::string DefaultBytes() { return config_test::LoadResourceBytes(IDR_DEFAULT_CONFIG); }

// Reads the bytes with the real reader and with the plain one; returns an empty string when
// they agree, else a description of the case.
std::string Disagreement(const std::string& bytes) {
    XML_Tree actual;
    XML_File::ReadXMLBuffer(actual, bytes.data(), bytes.size());
    XML_Tree reference;
    ReferenceParse(FromUtf16(bytes), reference);
    std::string a = Dump(actual), r = Dump(reference);
    if (a == r) return std::string();
    return "input: " + Show(bytes) + "\nreader:    " + a + "\nreference: " + r;
}

std::wstring TokenSoup(std::mt19937& rng, size_t nTokens) {
    static const wchar_t* const kTokens[] = {
        L"<",         L">",        L"</",       L"/",     L"\\colon", L"\\colo",
        L" ",         L"\n",       L"\r",       L"\t",    L"a",       L"Basic",
        L"KeepOnTop", L"Snapper",  L"1",        L"-7",    L"\xFEFF",  L"<Image>",
        L"</Image>",  L"<>",       L"</>",      L"截图",  L"\x0000",  L"\xD800",
        L"AppData",   L"SnapMode", L"<HotKey>", L"65537", L"<<",      L">>"};
    const size_t nCount = sizeof(kTokens) / sizeof(kTokens[0]);
    std::wstring text;
    for (size_t i = 0; i < nTokens; ++i) {
        const wchar_t* p = kTokens[rng() % nCount];
        if (*p == 0) {
            text.push_back(L'\0');
        } else {
            text += p;
        }
    }
    return text;
}

std::string Mutate(std::mt19937& rng, std::string bytes) {
    int nEdits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < nEdits && !bytes.empty(); ++i) {
        size_t nAt = rng() % bytes.size();
        switch (rng() % 5) {
            case 0:
                bytes[nAt] = static_cast<char>(rng());
                break;
            case 1:
                bytes.erase(nAt, 1 + rng() % 16);
                break;
            case 2:
                bytes.insert(nAt, Utf16(rng() % 2 ? L"<" : L"</"));
                break;
            case 3:
                bytes.insert(nAt, bytes.substr(rng() % bytes.size(), rng() % 64));
                break;
            default:
                bytes.resize(nAt);
                break;
        }
    }
    return bytes;
}

SIZE_T WorkingSet() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.WorkingSetSize;
}

}  // namespace

TEST(XmlRandomInput, RandomBytesReadAsTheRulesSay) {
    std::mt19937 rng(kSeed);
    for (int nCase = 0; nCase < 3000; ++nCase) {
        std::string bytes(rng() % 600, '\0');
        for (char& b : bytes) {
            // Mostly the format's own characters, so that tags and text really occur.
            unsigned r = rng();
            static const char kBytes[] = {'<', '>', '/', ' ', '\n', 'a', '\0', '\\', 'c', 'o'};
            b = r % 4 ? kBytes[r % sizeof(kBytes)] : static_cast<char>(r >> 8);
        }
        std::string problem = Disagreement(bytes);
        ASSERT_EQ(problem, "") << "seed " << kSeed << " case " << nCase;
    }
}

TEST(XmlRandomInput, TokenSoupReadsAsTheRulesSay) {
    std::mt19937 rng(kSeed + 1);
    for (int nCase = 0; nCase < 3000; ++nCase) {
        std::string bytes = Utf16(TokenSoup(rng, rng() % 200));
        std::string problem = Disagreement(bytes);
        ASSERT_EQ(problem, "") << "seed " << kSeed + 1 << " case " << nCase;
    }
}

TEST(XmlRandomInput, MutatedConfigFilesLoadKeyByKey) {
    std::mt19937 rng(kSeed + 2);
    const std::string original = DefaultBytes();
    ASSERT_FALSE(original.empty());
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    for (int nCase = 0; nCase < 1500; ++nCase) {
        std::string bytes = Mutate(rng, original);
        std::string problem = Disagreement(bytes);
        ASSERT_EQ(problem, "") << "seed " << kSeed + 2 << " case " << nCase;
        if (nCase % 10 == 0) {
            // Through the configuration: whatever tree came out is applied key by key, and what
            // was loaded saves and loads again unchanged.
            ASSERT_TRUE(WriteBytes(strPath, bytes));
            CPeltoConfig config;
            config.LoadConfigFile(strPath);
            config.SaveConfigFile(strPath);
            std::string first = ReadBytes(strPath);
            CPeltoConfig again;
            again.LoadConfigFile(strPath);
            again.SaveConfigFile(strPath);
            std::string second = ReadBytes(strPath);
            // Whatever was loaded is carried by the format: the second save changes nothing.
            EXPECT_EQ(second, first) << "case " << nCase << ": " << Show(first);
        }
    }
}

TEST(XmlRandomInput, EveryTruncationOfTheDefaultFileLosesAtMostOneValue) {
    const std::string original = DefaultBytes();
    ASSERT_FALSE(original.empty());
    XML_Tree defaults;
    XML_File::ReadXMLBuffer(defaults, original.data(), original.size());
    ASSERT_NE(defaults.GetRoot(), nullptr);
    CTempFolder folder;
    CString strPath = folder.File(L"config.xml");
    CString strSaved = folder.File(L"saved.xml");
    for (size_t nLength = 0; nLength <= original.size(); nLength += (nLength < 200 ? 1 : 7)) {
        std::string bytes = original.substr(0, nLength);
        ASSERT_EQ(Disagreement(bytes), "") << "length " << nLength;
        ASSERT_TRUE(WriteBytes(strPath, bytes));
        CPeltoConfig config;
        config.LoadConfigFile(strPath);
        config.SaveConfigFile(strSaved);
        // A value is applied only once a tag follows it, so every setting keeps its default,
        // except the key open at the cut: present without its value, it reads as empty or 0.
        std::string saved = ReadBytes(strSaved);
        XML_Tree tree;
        XML_File::ReadXMLBuffer(tree, saved.data(), saved.size());
        ASSERT_NE(tree.GetRoot(), nullptr);
        int nChanged = 0;
        XML_Node* pRoot = defaults.GetRoot();
        for (XML_Node* pItem = pRoot->GetFirstSubItem(); pItem; pItem = pRoot->GetNextSubItem()) {
            std::vector<XML_Node*> keys;
            for (XML_Node* p = pItem->GetFirstSubItem(); p; p = pItem->GetNextSubItem()) {
                keys.push_back(p);
            }
            if (keys.empty()) keys.push_back(pItem);
            for (XML_Node* pKey : keys) {
                XML_Node* pGroup =
                    pKey == pItem ? tree.GetRoot() : tree.GetRoot()->GetSubItem(pItem->GetName());
                ASSERT_NE(pGroup, nullptr);
                XML_Node* pSaved = pGroup->GetSubItem(pKey->GetName());
                ASSERT_NE(pSaved, nullptr) << pKey->GetName().ToUtf8();
                if (pSaved->GetValue() == pKey->GetValue()) continue;
                ++nChanged;
                EXPECT_TRUE(pSaved->GetValue() == L"" || pSaved->GetValue() == L"0")
                    << "length " << nLength << ": " << pKey->GetName().ToUtf8() << " became "
                    << pSaved->GetValue().ToUtf8();
            }
        }
        ASSERT_LE(nChanged, 1) << "after loading the first " << nLength << " bytes";
    }
}

TEST(XmlRandomInput, RandomTreesSurviveAWriteAndARead) {
    std::mt19937 rng(kSeed + 3);
    static const wchar_t kNameChars[] = L"abcXYZ_-.:截图 \t1";
    static const wchar_t kValueChars[] = L"xyz/\\colon>&\"截 \t\r\n09";
    auto randomText = [&](const wchar_t* pszChars, size_t nMax) {
        size_t nLength = ::wcslen(pszChars);
        std::wstring s;
        for (size_t n = rng() % nMax; n > 0; --n) s.push_back(pszChars[rng() % nLength]);
        return s;
    };
    CTempFolder folder;
    CString strPath = folder.File(L"tree.xml");
    for (int nCase = 0; nCase < 200; ++nCase) {
        XML_Tree tree;
        tree.AddElement(L"root");
        int nOpen = 1;
        for (int nStep = rng() % 60; nStep > 0 && nOpen > 0; --nStep) {
            switch (rng() % 3) {
                case 0: {
                    std::wstring name = L"n" + randomText(kNameChars, 12);
                    tree.AddElement(name.c_str());
                    ++nOpen;
                    break;
                }
                case 1: {
                    // Values the format carries: not blank at either end, no "\colon" text.
                    std::wstring value = L"v" + randomText(kValueChars, 40) + L"w";
                    CString s(value);
                    s.Replace(L"\\colon", L"\\c");
                    tree.AddValue(s);
                    break;
                }
                default:
                    tree.EndElement();
                    --nOpen;
                    break;
            }
        }
        XML_File::WriteXMLFile(tree, strPath);
        XML_Tree back;
        XML_File::ReadXMLFile(back, strPath);
        ASSERT_EQ(Dump(back), Dump(tree)) << "seed " << kSeed + 3 << " case " << nCase << "\n"
                                          << Show(ReadBytes(strPath));
    }
}

TEST(XmlRandomInput, HundredThousandNestedTagsNeitherOverflowNorLeak) {
    const int kDepth = 100000;
    std::wstring text;
    text.reserve(kDepth * 8 + 16);
    for (int i = 0; i < kDepth; ++i) text += L"<a>";
    text += L"bottom";
    for (int i = 0; i < kDepth; ++i) text += L"</a>";
    CTempFolder folder;
    CString strPath = folder.File(L"deep.xml");
    ASSERT_TRUE(WriteBytes(strPath, Utf16(text)));

    XML_Tree* pTree = new XML_Tree;
    XML_File::ReadXMLFile(*pTree, strPath);
    int nDepth = 0;
    XML_Node* pBottom = nullptr;
    for (XML_Node* p = pTree->GetRoot(); p; p = p->GetFirstSubItem()) {
        ++nDepth;
        pBottom = p;
    }
    EXPECT_EQ(nDepth, kDepth);
    ASSERT_NE(pBottom, nullptr);
    EXPECT_EQ(pBottom->GetValue(), L"bottom");
    delete pTree;

    // Unclosed, and through the configuration: no key is found, the defaults stay.
    text.resize(kDepth * 3);
    text += L"<Basic><KeepOnTop>0";
    ASSERT_TRUE(WriteBytes(strPath, Utf16(text)));
    CPeltoConfig config;
    config.LoadConfigFile(strPath);
    EXPECT_EQ(config.GetKeepOnTop(), 1);
}

TEST(XmlRandomInput, HugeFileReadsInProportionateMemory) {
    // 100 MiB: a real configuration with a changed setting, then millions of small elements.
    const size_t kFileBytes = 100u << 20;
    std::wstring head = FromUtf16(DefaultBytes());
    head.resize(head.rfind(L"</Snapper>"));
    CString changed(head);
    ASSERT_EQ(changed.Replace(L"<SnapMode>\n   0", L"<SnapMode>\n   3"), 1);
    std::string chunk;
    while (chunk.size() < (1u << 20)) chunk += Utf16(L"<e>1</e>\n");
    std::string tail = Utf16(L" tail </Snapper><Second>x</Second>");

    CTempFolder folder;
    CString strPath = folder.File(L"huge.xml");
    {
        HANDLE h = ::CreateFileW(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD nWritten = 0;
        std::string first = Utf16(changed.str());
        ::WriteFile(h, first.data(), static_cast<DWORD>(first.size()), &nWritten, nullptr);
        size_t nTotal = first.size();
        while (nTotal + chunk.size() + tail.size() <= kFileBytes) {
            ::WriteFile(h, chunk.data(), static_cast<DWORD>(chunk.size()), &nWritten, nullptr);
            nTotal += chunk.size();
        }
        ::WriteFile(h, tail.data(), static_cast<DWORD>(tail.size()), &nWritten, nullptr);
        ::CloseHandle(h);
    }

    long long nBefore = static_cast<long long>(WorkingSet());
    XML_Tree* pTree = new XML_Tree;
    // Read on a thread of its own and waited for with a generous limit: a reader that slows
    // down beyond proportion with the file's size does not end in time.
    HANDLE hRead = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread reader([&] {
        XML_File::ReadXMLFile(*pTree, strPath);
        ::SetEvent(hRead);
    });
    bool bReadInTime = ::WaitForSingleObject(hRead, 30000) == WAIT_OBJECT_0;
    reader.join();
    ::CloseHandle(hRead);
    long long nGrowth = static_cast<long long>(WorkingSet()) - nBefore;
    EXPECT_LT(nGrowth, static_cast<long long>(kFileBytes))
        << "memory held by the tree of a " << kFileBytes << "-byte file";
    EXPECT_TRUE(bReadInTime) << "the read did not end within 30 s";

    // The elements beyond the limit are left out without upsetting the structure: their end
    // tags close nothing, so the root's own text and end tag still count.
    XML_Node* pRoot = pTree->GetRoot();
    ASSERT_NE(pRoot, nullptr);
    EXPECT_EQ(pRoot->GetValue(), L"tail");
    size_t nChildren = 0;
    for (XML_Node* p = pRoot->GetFirstSubItem(); p; p = pRoot->GetNextSubItem()) ++nChildren;
    EXPECT_LT(nChildren, CXmlParser::kMaxElements);
    EXPECT_GT(nChildren, CXmlParser::kMaxElements / 2);
    delete pTree;

    CPeltoConfig config;
    config.LoadConfigFile(strPath);
    EXPECT_EQ(config.GetSnapMode(), 3);
    EXPECT_EQ(config.GetKeepOnTop(), 1);
}
