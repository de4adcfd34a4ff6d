#include <gtest/gtest.h>

#include "framework/FxString.h"

TEST(CStringTest, FormatUsesWideArgumentsForPercentS) {
    CString s;
    s.Format(L"%s 文件(%s)|%d|%c", L"JPEG", L"*.jpg", 42, L'字');
    EXPECT_EQ(s, L"JPEG 文件(*.jpg)|42|字");
    s.AppendFormat(L"-%02X", 10);
    EXPECT_EQ(s, L"JPEG 文件(*.jpg)|42|字-0A");
}

TEST(CStringTest, FormatGrowsBeyondItsFirstBuffer) {
    CString big(L'x', 5000);
    CString s;
    s.Format(L"[%s]", big.GetString());
    ASSERT_EQ(s.GetLength(), 5002);
    EXPECT_EQ(s.Left(2), L"[x");
    EXPECT_EQ(s.Right(2), L"x]");
}

TEST(CStringTest, FindAndReverseFind) {
    CString s(L"a.bmp.gif");
    EXPECT_EQ(s.Find(L'.'), 1);
    EXPECT_EQ(s.Find(L'.', 2), 5);
    EXPECT_EQ(s.Find(L".gif"), 5);
    EXPECT_EQ(s.Find(L".png"), -1);
    EXPECT_EQ(s.Find(L"a", 100), -1);
    EXPECT_EQ(s.ReverseFind(L'.'), 5);
    EXPECT_EQ(s.ReverseFind(L'z'), -1);
    EXPECT_EQ(CString().Find(L""), 0);
}

TEST(CStringTest, ReplaceCountsAndHandlesGrowth) {
    CString s(L"a|b||c|");
    EXPECT_EQ(s.Replace(L'|', L'\0'), 4);
    EXPECT_EQ(s.GetLength(), 7);  // embedded zeros stay part of the text
    CString t(L"aXbXXc");
    EXPECT_EQ(t.Replace(L"X", L"YY"), 3);
    EXPECT_EQ(t, L"aYYbYYYYc");
    EXPECT_EQ(t.Replace(L"", L"z"), 0);
    EXPECT_EQ(t.Replace(L"YY", L""), 3);
    EXPECT_EQ(t, L"abc");
}

TEST(CStringTest, MidLeftRightClampToTheText) {
    CString s(L"截图工具");
    EXPECT_EQ(s.Mid(1), L"图工具");
    EXPECT_EQ(s.Mid(1, 2), L"图工");
    EXPECT_EQ(s.Mid(10), L"");
    EXPECT_EQ(s.Mid(-3, 2), L"截图");
    EXPECT_EQ(s.Left(0), L"");
    EXPECT_EQ(s.Left(99), s);
    EXPECT_EQ(s.Right(1), L"具");
    EXPECT_EQ(s.Right(-1), L"");
}

TEST(CStringTest, CaseMappingAndComparison) {
    CString s(L"Shot.Jpeg");
    EXPECT_EQ(CString(s).MakeUpper(), L"SHOT.JPEG");
    EXPECT_EQ(CString(s).MakeLower(), L"shot.jpeg");
    EXPECT_EQ(s.CompareNoCase(L"SHOT.jpeg"), 0);
    EXPECT_LT(s.CompareNoCase(L"zzz"), 0);
    EXPECT_GT(s.Compare(L"Shot"), 0);
}

TEST(CStringTest, BufferAccessTakesTheLengthUpToTheTerminator) {
    CString s;
    wchar_t* p = s.GetBuffer(10);
    wcscpy(p, L"abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 3);
    p = s.GetBufferSetLength(2);
    EXPECT_EQ(p[0], L'a');
    s.ReleaseBuffer(1);
    EXPECT_EQ(s, L"a");
}

TEST(CStringTest, EditingOperations) {
    CString s(L"  a b  ");
    EXPECT_EQ(CString(s).Trim(), L"a b");
    EXPECT_EQ(CString(s).TrimLeft(), L"a b  ");
    EXPECT_EQ(s.Remove(L' '), 5);
    EXPECT_EQ(s, L"ab");
    EXPECT_EQ(s.Insert(1, L"--"), 4);
    EXPECT_EQ(s, L"a--b");
    EXPECT_EQ(s.Insert(100, L"!"), 5);
    EXPECT_EQ(s.Delete(1, 2), 3);
    EXPECT_EQ(s, L"ab!");
    EXPECT_EQ(s.Delete(10, 2), 3);
    EXPECT_EQ(s.FindOneOf(L"!b"), 1);
}

TEST(CStringTest, Utf8RoundTrip) {
    const char* text = "Noram截图（Noram出品）";
    CString s = CString::FromUtf8(text);
    EXPECT_EQ(s, L"Noram截图（Noram出品）");
    EXPECT_EQ(s.ToUtf8(), text);
    EXPECT_TRUE(CString::FromUtf8(nullptr).IsEmpty());
}

TEST(CStringTest, LoadStringFromAMissingIdFails) {
    CString s(L"old");
    EXPECT_FALSE(s.LoadString(54321));
    EXPECT_TRUE(s.IsEmpty());
}
