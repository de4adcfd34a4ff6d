// The element-tree file: exact bytes of the writer and the reader's rules, odd ones included.
#include <gtest/gtest.h>

#include <string>

#include "lib/config/XmlFile.h"
#include "lib/config/XmlTree.h"
#include "tests/lib/config/ConfigTestSupport.h"
#include "tests/lib/config/XmlTestSupport.h"

using config_test::CTempFolder;
using config_test::Dump;
using config_test::FirstDifference;
using config_test::ParseText;
using config_test::ReadBytes;
using config_test::Show;
using config_test::Utf16;
using config_test::WriteBytes;
using config_test::WrittenBytes;

namespace {

void ExpectBytes(const std::string& actual, const std::wstring& expectedText) {
    std::string expected = Utf16(expectedText);
    EXPECT_EQ(actual, expected) << "first difference at byte " << FirstDifference(actual, expected)
                                << "\nwritten:  " << Show(actual)
                                << "\nexpected: " << Show(expected);
}

std::string DumpOf(const std::wstring& text) {
    XML_Tree tree;
    ParseText(text, tree);
    return Dump(tree);
}

// The dump of a tree built directly, for comparing with what the reader makes of a text.
std::string DumpBuilt(std::initializer_list<std::pair<char, const wchar_t*>> steps) {
    XML_Tree tree;
    for (const auto& step : steps) {
        if (step.first == '<') tree.AddElement(step.second);
        if (step.first == '=') tree.AddValue(CString(step.second));
        if (step.first == '>') tree.EndElement();
    }
    return Dump(tree);
}

}  // namespace

TEST(XmlWriter, RootWithoutValueIsTwoLines) {
    XML_Tree tree;
    tree.AddElement(L"Snapper");
    tree.EndElement();
    ExpectBytes(WrittenBytes(tree), L"<Snapper>\n</Snapper>\n");
}

TEST(XmlWriter, NestedElementsIndentOneSpacePerLevel) {
    XML_Tree tree;
    tree.AddElement(L"Snapper");
    tree.AddElement(L"Basic");
    tree.AddElement(L"KeepOnTop");
    tree.AddValue(1);
    tree.EndElement();
    tree.EndElement();
    tree.AddElement(L"Image");  // a sibling group after a closed one
    tree.EndElement();
    tree.EndElement();
    ExpectBytes(WrittenBytes(tree),
                L"<Snapper>\n <Basic>\n  <KeepOnTop>\n   1\n  </KeepOnTop>\n </Basic>\n"
                L" <Image>\n </Image>\n</Snapper>\n");
}

TEST(XmlWriter, EmptyTreeGivesAnEmptyFileInPlaceOfTheOld) {
    CTempFolder folder;
    CString strPath = folder.File(L"t.xml");
    ASSERT_TRUE(WriteBytes(strPath, "old contents"));
    XML_Tree tree;
    EXPECT_TRUE(XML_File::WriteXMLFile(tree, strPath));
    EXPECT_EQ(ReadBytes(strPath), "");
    EXPECT_EQ(folder.ListFiles(), "t.xml") << "the temporary file must not stay behind";
}

TEST(XmlWriter, OnlySlashIsEscapedAndOnlyInValues) {
    XML_Tree tree;
    tree.AddElement(L"a/b");
    tree.AddValue(L"x/y<&>\"'\r\nz//");
    tree.EndElement();
    // "<" would open a tag when read, so it is left out; everything else is written as it is.
    ExpectBytes(WrittenBytes(tree), L"<a/b>\n x\\colony&>\"'\r\nz\\colon\\colon\n</a/b>\n");
}

TEST(XmlWriter, UnclosedElementsAreWrittenClosed) {
    // A tree whose builder forgot its end calls is still written whole.
    XML_Tree tree;
    tree.AddElement(L"r");
    tree.AddElement(L"c");
    tree.AddValue(L"v");
    ExpectBytes(WrittenBytes(tree), L"<r>\n <c>\n  v\n </c>\n</r>\n");
}

TEST(XmlWriter, LongNamesAndValuesAreNeitherCutNorRefused) {
    // Far beyond one line of 254 code units: written and read back whole.
    std::wstring name(5000, L'n');
    name[4999] = L'名';
    std::wstring value(100000, L'v');
    value[0] = L'值';
    value[50000] = L'/';
    XML_Tree tree;
    tree.AddElement(L"r");
    tree.AddElement(name.c_str());
    tree.AddValue(CString(value));
    tree.EndElement();
    tree.EndElement();
    std::wstring escaped = value.substr(0, 50000) + L"\\colon" + value.substr(50001);
    std::string bytes = WrittenBytes(tree);
    ExpectBytes(bytes, L"<r>\n <" + name + L">\n  " + escaped + L"\n </" + name + L">\n</r>\n");

    XML_Tree back;
    XML_File::ReadXMLBuffer(back, bytes.data(), bytes.size());
    ASSERT_NE(back.GetRoot(), nullptr);
    XML_Node* pNode = back.GetRoot()->GetSubItem(name.c_str());
    ASSERT_NE(pNode, nullptr) << "the long name did not come back";
    EXPECT_EQ(pNode->GetValue().GetLength(), static_cast<int>(value.size()));
    EXPECT_TRUE(pNode->GetValue() == CString(value));
}

TEST(XmlWriter, DeepTreeIsWrittenAndReadBackWhole) {
    const int kDepth = 3000;  // the file grows with the square of the depth
    XML_Tree tree;
    for (int i = 0; i < kDepth; ++i) tree.AddElement(L"d");
    tree.AddValue(L"bottom");
    std::string bytes = WrittenBytes(tree);
    std::wstring text = config_test::FromUtf16(bytes);
    size_t nBottom = text.find(L"bottom\n");
    ASSERT_NE(nBottom, std::wstring::npos);
    size_t nLineStart = text.rfind(L'\n', nBottom) + 1;
    EXPECT_EQ(nBottom - nLineStart, static_cast<size_t>(kDepth)) << "indentation of the value";
    EXPECT_EQ(text.substr(text.size() - 5), L"</d>\n");
    EXPECT_EQ(text.substr(0, 5), L"<d>\n ");

    XML_Tree back;
    XML_File::ReadXMLBuffer(back, bytes.data(), bytes.size());
    EXPECT_EQ(Dump(back), Dump(tree));
}

TEST(XmlReader, ValueIsTheLastTextRunEvenAfterAChild) {
    EXPECT_EQ(DumpOf(L"<A> x <B>1</B> y </A>"),
              DumpBuilt({{'<', L"A"}, {'<', L"B"}, {'=', L"1"}, {'>', L""}, {'=', L"y"}}));
    // Blank runs do not replace a value.
    EXPECT_EQ(DumpOf(L"<A>v<B></B> \n\t </A>"),
              DumpBuilt({{'<', L"A"}, {'=', L"v"}, {'<', L"B"}, {'>', L""}}));
}

TEST(XmlReader, AnyEndTagClosesTheOpenElement) {
    EXPECT_EQ(
        DumpOf(L"<A><B>1</Z><C>2</>"),
        DumpBuilt({{'<', L"A"}, {'<', L"B"}, {'=', L"1"}, {'>', L""}, {'<', L"C"}, {'=', L"2"}}));
    // A closed by a foreign end tag: what follows is a second top-level element, dropped.
    EXPECT_EQ(DumpOf(L"<A>1</Z><B>2</B>"), DumpBuilt({{'<', L"A"}, {'=', L"1"}}));
}

TEST(XmlReader, OnlyTheFirstTopLevelElementSurvives) {
    EXPECT_EQ(DumpOf(L"<A></A><B>v<C>w</C></B>"), DumpBuilt({{'<', L"A"}}));
    XML_Tree tree;
    ParseText(L"<A></A><B>v</B>", tree);
    ASSERT_NE(tree.GetRoot(), nullptr);
    EXPECT_EQ(tree.GetRoot()->GetName(), L"A");
    EXPECT_EQ(tree.GetRoot()->GetValue(), L"");
    EXPECT_EQ(tree.GetRoot()->GetFirstSubItem(), nullptr);
}

TEST(XmlReader, CarriageReturnsAreKept) {
    XML_Tree tree;
    ParseText(L"<A>\r\n <B>\r\n  1\r\n </B>\r\n</A>\r\n", tree);
    ASSERT_NE(tree.GetRoot(), nullptr);
    XML_Node* pB = tree.GetRoot()->GetSubItem(L"B");
    ASSERT_NE(pB, nullptr);
    EXPECT_EQ(pB->GetValue(), L"\r\n  1\r");
    EXPECT_EQ(pB->GetValueAsInt(), 1);
    EXPECT_EQ(tree.GetRoot()->GetValue(), L"\r");
}

TEST(XmlReader, TagTextIsTakenAsItIs) {
    // Names are neither trimmed nor unescaped; an empty tag is an element with an empty name.
    EXPECT_EQ(DumpOf(L"< A\\colon ><>v</></>"),
              DumpBuilt({{'<', L" A\\colon "}, {'<', L""}, {'=', L"v"}}));
    // ">" outside a tag is text; "\colon" in text becomes "/".
    EXPECT_EQ(DumpOf(L"<A>a>b\\colonc</A>"), DumpBuilt({{'<', L"A"}, {'=', L"a>b/c"}}));
}

TEST(XmlReader, UnfinishedTagBecomesText) {
    EXPECT_EQ(DumpOf(L"<A>x <B <C>"), DumpBuilt({{'<', L"A"}, {'=', L"B"}, {'<', L"C"}}));
}

TEST(XmlReader, TextAfterTheLastTagAndAnOpenTagAreDropped) {
    EXPECT_EQ(DumpOf(L"<A>v"), DumpBuilt({{'<', L"A"}}));
    EXPECT_EQ(DumpOf(L"<A>v</A"), DumpBuilt({{'<', L"A"}, {'=', L"v"}}));
    EXPECT_EQ(DumpOf(L"<A"), "<empty>");
    EXPECT_EQ(DumpOf(L"just text"), "<empty>");
}

TEST(XmlReader, ByteOrderMarkBeforeTheRootIsDropped) {
    EXPECT_EQ(DumpOf(L"\xFEFF<A>v</A>"), DumpBuilt({{'<', L"A"}, {'=', L"v"}}));
}

TEST(XmlReader, LastByteOfAnOddLengthFileIsIgnored) {
    std::string bytes = Utf16(L"<A>v");
    bytes.push_back('<');  // half a code unit: were it read as "<", A would get the value v
    XML_Tree tree;
    EXPECT_TRUE(XML_File::ReadXMLBuffer(tree, bytes.data(), bytes.size()));
    EXPECT_EQ(Dump(tree), DumpBuilt({{'<', L"A"}}));

    CTempFolder folder;
    CString strPath = folder.File(L"odd.xml");
    ASSERT_TRUE(WriteBytes(strPath, Utf16(L"<A>1</A>") + "\x3c"));
    XML_Tree fromFile;
    EXPECT_TRUE(XML_File::ReadXMLFile(fromFile, strPath));
    EXPECT_EQ(Dump(fromFile), DumpBuilt({{'<', L"A"}, {'=', L"1"}}));
}

TEST(XmlReader, MissingAndEmptyFilesGiveAnEmptyTree) {
    CTempFolder folder;
    XML_Tree missing;
    EXPECT_TRUE(XML_File::ReadXMLFile(missing, folder.File(L"none.xml")));
    EXPECT_EQ(missing.GetRoot(), nullptr);

    CString strEmpty = folder.File(L"empty.xml");
    ASSERT_TRUE(WriteBytes(strEmpty, ""));
    XML_Tree empty;
    EXPECT_TRUE(XML_File::ReadXMLFile(empty, strEmpty));
    EXPECT_EQ(empty.GetRoot(), nullptr);

    XML_Tree folderAsFile;
    EXPECT_TRUE(XML_File::ReadXMLFile(folderAsFile, folder.GetPath()));
    EXPECT_EQ(folderAsFile.GetRoot(), nullptr);
    XML_Tree nullBuffer;
    EXPECT_TRUE(XML_File::ReadXMLBuffer(nullBuffer, nullptr, 10));
    EXPECT_EQ(nullBuffer.GetRoot(), nullptr);
}

TEST(XmlReader, TagsAcrossReadPiecesAreJoined) {
    // The file is read in pieces of 64 KiB: put a tag, a value and an escape across the seams.
    for (size_t nShift = 0; nShift < 12; ++nShift) {
        std::wstring text =
            L"<r>" + std::wstring(32768 - 3 - 3 + nShift, L' ') + L"<Name>a\\colonb</Name>";
        text +=
            std::wstring(32768 - 4, L'\n') + L"<Next>" + std::wstring(40000, L'x') + L"</Next></r>";
        CTempFolder folder;
        CString strPath = folder.File(L"seams.xml");
        ASSERT_TRUE(WriteBytes(strPath, Utf16(text)));
        XML_Tree fromFile;
        XML_File::ReadXMLFile(fromFile, strPath);
        XML_Tree reference;
        config_test::ReferenceParse(text, reference);
        EXPECT_EQ(Dump(fromFile), Dump(reference)) << "shift " << nShift;
    }
}

TEST(XmlRoundTrip, WrittenTreeReadsBackTheSame) {
    XML_Tree tree;
    tree.AddElement(L"Snapper");
    tree.AddElement(L"URL");
    tree.AddValue(L"http://例子.cn/a\\b");
    tree.EndElement();
    tree.AddElement(L"Group");
    tree.AddElement(L"Inner");
    tree.AddValue(L"a > b & \"c\" \r 1");
    tree.EndElement();
    tree.AddElement(L"Empty");
    tree.EndElement();
    tree.AddValue(L"group value after children");
    tree.EndElement();
    tree.EndElement();
    std::string bytes = WrittenBytes(tree);
    XML_Tree back;
    XML_File::ReadXMLBuffer(back, bytes.data(), bytes.size());
    EXPECT_EQ(Dump(back), Dump(tree)) << Show(bytes);
    EXPECT_EQ(WrittenBytes(back), bytes);
}
