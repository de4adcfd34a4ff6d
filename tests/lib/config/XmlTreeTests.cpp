// The element tree in memory: how a document is built, looked up and walked.
#include <gtest/gtest.h>

#include <climits>

#include "lib/config/XmlFile.h"
#include "lib/config/XmlTree.h"

TEST(XmlTree, BuildsInReadingOrder) {
    XML_Tree tree;
    EXPECT_EQ(tree.GetRoot(), nullptr);
    tree.AddValue(L"ignored: nothing is open");
    tree.EndElement();  // nothing open: no effect
    tree.AddElement(L"Snapper");
    XML_Node* pRoot = tree.GetRoot();
    ASSERT_NE(pRoot, nullptr);
    EXPECT_EQ(pRoot->GetParent(), nullptr);
    tree.AddElement(L"Basic");
    tree.AddElement(L"KeepOnTop");
    tree.AddValue(L"first");
    tree.AddValue(1);  // replaces, does not append
    tree.EndElement();
    tree.AddValue(L"group value");
    tree.EndElement();
    tree.EndElement();
    EXPECT_EQ(pRoot->GetValue(), L"");

    // The root is closed: a second top-level element and everything inside it are dropped.
    tree.AddElement(L"Second");
    tree.AddElement(L"Inner");
    tree.AddValue(L"lost");
    tree.EndElement();
    EXPECT_EQ(tree.GetRoot(), pRoot);

    XML_Node* pBasic = pRoot->GetSubItem(L"Basic");
    ASSERT_NE(pBasic, nullptr);
    EXPECT_EQ(pBasic->GetParent(), pRoot);
    EXPECT_EQ(pBasic->GetValue(), L"group value");
    XML_Node* pKey = pBasic->GetSubItem(L"KeepOnTop");
    ASSERT_NE(pKey, nullptr);
    EXPECT_EQ(pKey->GetValue(), L"1");
    EXPECT_EQ(pKey->GetParent(), pBasic);
    EXPECT_EQ(pRoot->GetSubItem(L"Second"), nullptr);
    EXPECT_EQ(pRoot->GetFirstSubItem(), pBasic);
    EXPECT_EQ(pRoot->GetNextSubItem(), nullptr);
}

TEST(XmlTree, NumbersAreFormattedAsSignedDecimal) {
    struct Row {
        int nValue;
        const wchar_t* pszText;
    } rows[] = {{0, L"0"}, {-1, L"-1"}, {INT_MAX, L"2147483647"}, {INT_MIN, L"-2147483648"}};
    for (const Row& row : rows) {
        XML_Tree tree;
        tree.AddElement(L"n");
        tree.AddValue(row.nValue);
        EXPECT_EQ(tree.GetRoot()->GetValue(), row.pszText) << row.nValue;
        tree.AddValue(static_cast<long>(row.nValue));
        EXPECT_EQ(tree.GetRoot()->GetValue(), row.pszText) << row.nValue << "L";
    }
}

TEST(XmlNode, SubItemLookupIsExactAndFindsTheFirst) {
    XML_Node root(nullptr, L"root");
    XML_Node* pA = new XML_Node(&root, L"Key");
    XML_Node* pB = new XML_Node(&root, L"Key");
    XML_Node* pC = new XML_Node(&root, L"key");
    pA->AddValue(L"a");
    pB->AddValue(L"b");
    EXPECT_EQ(root.GetSubItem(L"Key"), pA);
    EXPECT_EQ(root.GetSubItem(L"key"), pC);
    EXPECT_EQ(root.GetSubItem(L"KEY"), nullptr);
    EXPECT_EQ(root.GetSubItem(L"Key "), nullptr);
    EXPECT_EQ(root.GetSubItem(L""), nullptr);

    // Lookup does not move the walk.
    EXPECT_EQ(root.GetFirstSubItem(), pA);
    EXPECT_EQ(root.GetSubItem(L"key"), pC);
    EXPECT_EQ(root.GetNextSubItem(), pB);
    EXPECT_EQ(root.GetNextSubItem(), pC);
    EXPECT_EQ(root.GetNextSubItem(), nullptr);
    // Past the end, or without a first call, the walk finds nothing instead of reading beyond.
    EXPECT_EQ(root.GetNextSubItem(), nullptr);
    XML_Node leaf(nullptr, L"leaf");
    EXPECT_EQ(leaf.GetFirstSubItem(), nullptr);
    EXPECT_EQ(leaf.GetNextSubItem(), nullptr);
    XML_Node fresh(nullptr, L"fresh");
    new XML_Node(&fresh, L"child");
    EXPECT_EQ(fresh.GetNextSubItem(), nullptr);
}

TEST(XmlNode, ValueConvertsLikeTheCLibrary) {
    struct Row {
        const wchar_t* pszValue;
        int nExpected;
    } rows[] = {
        {L"1", 1},
        {L"  42", 42},
        {L"\r\n   1\r", 1},  // a file with carriage returns still gives its number
        {L"\t-17xyz", -17},
        {L"+8", 8},
        {L"12 34", 12},
        {L"abc", 0},
        {L"", 0},
        {L"-", 0},
        {L"0x1F", 0},
        {L"-2147483648", INT_MIN},
        {L"2147483647", INT_MAX},
        {L"007", 7},
    };
    for (const Row& row : rows) {
        XML_Node node(nullptr, L"n");
        node.AddValue(row.pszValue);
        EXPECT_EQ(node.GetValueAsInt(), row.nExpected) << CString(row.pszValue).ToUtf8();
        EXPECT_EQ(node.GetValueAsLong(), static_cast<long>(row.nExpected))
            << CString(row.pszValue).ToUtf8();
    }
}

TEST(XmlNode, DeepChainIsDeletedWithoutRecursion) {
    // A recursive destructor would overflow the stack long before this depth.
    const int kDepth = 1000000;
    XML_Tree* pTree = new XML_Tree;
    for (int i = 0; i < kDepth; ++i) pTree->AddElement(L"d");
    int nDepth = 0;
    for (XML_Node* p = pTree->GetRoot(); p; p = p->GetFirstSubItem()) ++nDepth;
    EXPECT_EQ(nDepth, kDepth);
    delete pTree;

    // A wide and deep mix, deleted through a node of its own.
    XML_Node* pRoot = new XML_Node(nullptr, L"r");
    XML_Node* pSpine = pRoot;
    for (int i = 0; i < 100000; ++i) {
        new XML_Node(pSpine, L"leaf");
        pSpine = new XML_Node(pSpine, L"spine");
    }
    delete pRoot;
    SUCCEED();
}

TEST(XmlEscaping, SlashAndColonTextSwap) {
    struct Row {
        const wchar_t* pszPlain;
        const wchar_t* pszSaved;
    } rows[] = {
        {L"http://a/b", L"http:\\colon\\colona\\colonb"},
        {L"", L""},
        {L"/", L"\\colon"},
        {L"no slash", L"no slash"},
        {L"C:\\x/y", L"C:\\x\\colony"},
    };
    for (const Row& row : rows) {
        CString s(row.pszPlain);
        XML_File::MakeSaveString(s);
        EXPECT_EQ(s, row.pszSaved) << CString(row.pszPlain).ToUtf8();
        XML_File::UnmakeSaveString(s);
        EXPECT_EQ(s, row.pszPlain) << CString(row.pszPlain).ToUtf8();
    }
    // Text that already holds "\colon" comes back with a slash: the escaping is not reversible
    // for such text, which is the format's own rule.
    CString s(L"a\\colonb\\colo");
    XML_File::UnmakeSaveString(s);
    EXPECT_EQ(s, L"a/b\\colo");
}
