// Codec records, filters and extension lookup: on hand-made lists and on GDI+'s real lists.
#include <gtest/gtest.h>

#include <cwctype>

#include "lib/codec/GdiplusCodecInfo.h"
#include "lib/codec/GdiplusCodecList.h"
#include "lib/codec/GdiplusSession.h"
#include "tests/lib/codec/CodecTestSupport.h"

namespace {

const CLSID kClsidA = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};
const CLSID kClsidB = {0xaaaaaaaa, 0xbbbb, 0xcccc, {8, 7, 6, 5, 4, 3, 2, 1}};

CGdiplusCodecArray MakeAB() {
    CGdiplusCodecArray arr;
    arr.push_back(std::make_unique<CGdiplusCodecInfo>(L"A", L"*.A1;*.a2", kClsidA));
    arr.push_back(std::make_unique<CGdiplusCodecInfo>(L"B", L"*.B", kClsidB));
    return arr;
}

// The fields of a '|'-separated filter, the closing empty field included.
std::vector<std::wstring> Fields(const CString& filter) {
    std::vector<std::wstring> out;
    std::wstring cur;
    for (wchar_t c : filter.str()) {
        if (c == L'|') {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    EXPECT_TRUE(cur.empty()) << "text after the last separator: " << Narrow(cur);
    return out;
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

}  // namespace

TEST(GdiplusCodecInfo, DerivesLowerCaseListAndDefaultExtension) {
    struct Row {
        const wchar_t* patterns;
        const wchar_t* lower;
        const wchar_t* defExt;
    } rows[] = {
        {L"*.PNG", L"*.png", L"png"},
        {L"*.JPG;*.JPEG", L"*.jpg;*.jpeg", L"jpg"},
        {L"*.gif", L"*.gif", L"gif"},
        {L"*.TIF;*.TIFF", L"*.tif;*.tiff", L"tif"},
        {L"", L"", L""},
        {nullptr, L"", L""},
    };
    for (const Row& r : rows) {
        CGdiplusCodecInfo info(L"Fmt", r.patterns, kClsidA);
        const char* which = r.patterns ? "given list" : "null list";
        EXPECT_EQ(info.GetExtensions(), r.lower) << which << ": " << info.GetExtensions().ToUtf8();
        EXPECT_STREQ(info.GetDefExt(), r.defExt) << which << ": " << info.GetExtensions().ToUtf8();
        EXPECT_EQ(info.GetFormat(), L"Fmt");
        EXPECT_TRUE(IsEqualGUID(info.GetCLSID(), kClsidA)) << GuidText(info.GetCLSID());
    }
}

TEST(GdiplusCodecInfo, FindExtensionIgnoresCaseAndLeavesTheListAlone) {
    CGdiplusCodecInfo info(L"JPEG", L"*.JPG;*.JPEG", kClsidA);
    EXPECT_TRUE(info.FindExtension(L"jpeg"));
    EXPECT_TRUE(info.FindExtension(L"jpeg")) << "a second search must find it again";
    EXPECT_TRUE(info.FindExtension(L"JPG"));
    EXPECT_TRUE(info.FindExtension(L"Jpg"));
    EXPECT_FALSE(info.FindExtension(L"jp"));
    EXPECT_FALSE(info.FindExtension(L"jpegx"));
    EXPECT_FALSE(info.FindExtension(L"png"));
    EXPECT_FALSE(info.FindExtension(L"*.jpg")) << "the extension is given without pattern";
    EXPECT_EQ(info.GetExtensions(), L"*.jpg;*.jpeg");
}

TEST(GdiplusCodecInfo, EmptyExtensionMatchesOnlyTheBarePattern) {
    CGdiplusCodecInfo plain(L"P", L"*.png", kClsidA);
    EXPECT_FALSE(plain.FindExtension(L""));
    EXPECT_FALSE(plain.FindExtension(nullptr));
    CGdiplusCodecInfo bare(L"Q", L"*.png;*.", kClsidA);
    EXPECT_TRUE(bare.FindExtension(L""));
}

TEST(GdiplusCodecInfo, EmptyPiecesBetweenSeparatorsAreSkipped) {
    CGdiplusCodecInfo info(L"X", L"*.a;;*.b;", kClsidA);
    EXPECT_TRUE(info.FindExtension(L"a"));
    EXPECT_TRUE(info.FindExtension(L"B"));
    EXPECT_FALSE(info.FindExtension(L"c"));
    EXPECT_STREQ(info.GetDefExt(), L"a");
}

TEST(GdiplusCodecInfo, CopiesAreIndependent) {
    CGdiplusCodecInfo original(L"PNG", L"*.PNG", kClsidA);
    CGdiplusCodecInfo copy(original);
    EXPECT_EQ(copy.GetFormat(), original.GetFormat());
    EXPECT_EQ(copy.GetExtensions(), original.GetExtensions());
    EXPECT_STREQ(copy.GetDefExt(), original.GetDefExt());
    EXPECT_NE(copy.GetDefExt(), original.GetDefExt()) << "the copy shares the characters";
    EXPECT_TRUE(IsEqualGUID(copy.GetCLSID(), original.GetCLSID()));

    CGdiplusCodecInfo assigned(L"JPEG", L"*.JPG;*.JPEG", kClsidB);
    assigned = original;
    EXPECT_EQ(assigned.GetFormat(), L"PNG");
    EXPECT_STREQ(assigned.GetDefExt(), L"png");
    EXPECT_TRUE(assigned.FindExtension(L"png"));
    EXPECT_FALSE(assigned.FindExtension(L"jpg"));
    original = CGdiplusCodecInfo(L"GIF", L"*.GIF", kClsidB);
    EXPECT_EQ(assigned.GetFormat(), L"PNG") << "changing the original changed the copy";
    EXPECT_TRUE(IsEqualGUID(assigned.GetCLSID(), kClsidA));
}

TEST(ImageFilter, OpenFilterListsAllPatternsFirstThenEachCodec) {
    std::vector<std::wstring> f = Fields(BuildOpenImageFilter(MakeAB()));
    std::vector<std::wstring> expected = {L"所有支持的图像文件",
                                          L"*.a1;*.a2;*.b",
                                          L"A 文件(*.a1;*.a2)",
                                          L"*.a1;*.a2",
                                          L"B 文件(*.b)",
                                          L"*.b",
                                          L""};
    EXPECT_EQ(f, expected) << Narrow(BuildOpenImageFilter(MakeAB()).str());
}

TEST(ImageFilter, SaveFilterHasOneTypePerCodecInOrder) {
    std::vector<std::wstring> f = Fields(BuildSaveImageFilter(MakeAB()));
    // The list of types already ends with a separator, so the save filter closes with two empty
    // fields; the dialog stops at the first.
    std::vector<std::wstring> expected = {
        L"A 文件(*.a1;*.a2)", L"*.a1;*.a2", L"B 文件(*.b)", L"*.b", L"", L""};
    EXPECT_EQ(f, expected) << Narrow(BuildSaveImageFilter(MakeAB()).str());
}

TEST(ImageFilter, EmptyCodecListsGiveNoCodecTypes) {
    CGdiplusCodecArray none;
    EXPECT_EQ(Fields(BuildSaveImageFilter(none)), std::vector<std::wstring>({L"", L""}));
    std::vector<std::wstring> open = Fields(BuildOpenImageFilter(none));
    ASSERT_GE(open.size(), 2u);
    EXPECT_EQ(open[0], L"所有支持的图像文件");
    EXPECT_EQ(open[1], L"");
}

TEST(CodecLookup, FirstCodecThatKnowsTheExtensionWins) {
    CGdiplusCodecArray arr = MakeAB();
    arr.push_back(std::make_unique<CGdiplusCodecInfo>(L"C", L"*.b;*.c", kClsidA));
    EXPECT_EQ(FindCodecByExtension(arr, L"a2"), 0);
    EXPECT_EQ(FindCodecByExtension(arr, L"B"), 1);
    EXPECT_EQ(FindCodecByExtension(arr, L"c"), 2);
    EXPECT_EQ(FindCodecByExtension(arr, L"d"), -1);
    EXPECT_EQ(FindCodecByExtension(arr, L""), -1);
    EXPECT_EQ(FindCodecByExtension(CGdiplusCodecArray(), L"b"), -1);
}

TEST(CodecLookup, PathExtensionComesFromTheFileNameOnly) {
    struct Row {
        const wchar_t* path;
        const wchar_t* ext;
    } rows[] = {
        {L"C:\\pics\\shot.PNG", L"PNG"},
        {L"shot.tar.gz", L"gz"},
        {L"C:\\my.pics\\shot", L""},
        {L"C:\\my.pics\\shot.jpg", L"jpg"},
        {L"C:/my.pics/shot", L""},
        {L"shot", L""},
        {L"shot.", L""},
        {L"", L""},
        {nullptr, L""},
        {L"C:.hidden", L"hidden"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(GetPathExtension(r.path), r.ext)
            << (r.path ? CString(r.path).ToUtf8() : std::string("(null)"));
    }
}

class RealCodecs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(session.IsStarted()); }
    CGdiplusSession session;
};

TEST_F(RealCodecs, RecordsFollowGdiplusListsInOrder) {
    for (bool encoders : {false, true}) {
        std::vector<RawCodec> raw = ReadRawCodecs(encoders);
        ASSERT_FALSE(raw.empty()) << (encoders ? "encoders" : "decoders");
        CGdiplusCodecArray arr;
        ASSERT_TRUE(FillGdiplusCodecArray(encoders, arr));
        ASSERT_EQ(arr.size(), raw.size());
        for (size_t i = 0; i < raw.size(); ++i) {
            SCOPED_TRACE(Narrow(raw[i].format) + (encoders ? " encoder" : " decoder"));
            EXPECT_EQ(arr[i]->GetFormat().str(), raw[i].format);
            EXPECT_EQ(arr[i]->GetExtensions().str(), Lower(raw[i].extensions));
            EXPECT_TRUE(IsEqualGUID(arr[i]->GetCLSID(), raw[i].clsid))
                << GuidText(arr[i]->GetCLSID()) << " vs " << GuidText(raw[i].clsid);
            std::wstring first = Lower(raw[i].extensions.substr(0, raw[i].extensions.find(L';')));
            EXPECT_EQ(L"*." + std::wstring(arr[i]->GetDefExt()), first);
        }
    }
}

TEST_F(RealCodecs, KnownFormatsHaveTheirUsualExtensions) {
    CGdiplusCodecArray arr;
    ASSERT_TRUE(FillGdiplusCodecArray(TRUE, arr));
    struct Row {
        const wchar_t* format;
        const wchar_t* defExt;
        const wchar_t* alsoKnown;
    } rows[] = {{L"PNG", L"png", L"PNG"}, {L"JPEG", L"jpg", L"jpeg"}, {L"BMP", L"bmp", L"BMP"}};
    for (const Row& r : rows) {
        const CGdiplusCodecInfo* found = nullptr;
        for (auto& c : arr)
            if (c->GetFormat() == r.format) found = c.get();
        ASSERT_NE(found, nullptr) << "no encoder " << CString(r.format).ToUtf8();
        EXPECT_STREQ(found->GetDefExt(), r.defExt);
        EXPECT_TRUE(found->FindExtension(r.alsoKnown)) << CString(r.format).ToUtf8();
    }
}

TEST_F(RealCodecs, FiltersHaveOneTypePerCodec) {
    CGdiplusCodecArray enc, dec;
    ASSERT_TRUE(FillGdiplusCodecArray(TRUE, enc));
    ASSERT_TRUE(FillGdiplusCodecArray(FALSE, dec));
    std::vector<std::wstring> save = Fields(BuildSaveImageFilter(enc));
    ASSERT_EQ(save.size(), 2 * enc.size() + 2);
    for (size_t i = 0; i < enc.size(); ++i) {
        EXPECT_EQ(save[2 * i],
                  enc[i]->GetFormat().str() + L" 文件(" + enc[i]->GetExtensions().str() + L")");
        EXPECT_EQ(save[2 * i + 1], enc[i]->GetExtensions().str());
    }
    std::vector<std::wstring> open = Fields(BuildOpenImageFilter(dec));
    ASSERT_EQ(open.size(), 2 * dec.size() + 3);
    std::wstring all;
    for (auto& c : dec) all += (all.empty() ? L"" : L";") + c->GetExtensions().str();
    EXPECT_EQ(open[1], all);
    EXPECT_EQ(open[2],
              dec[0]->GetFormat().str() + L" 文件(" + dec[0]->GetExtensions().str() + L")");
}

TEST_F(RealCodecs, EncoderForPathFollowsTheFileNamesExtension) {
    CGdiplusCodecArray enc;
    ASSERT_TRUE(FillGdiplusCodecArray(TRUE, enc));
    for (const wchar_t* path : {L"C:\\x\\a.PNG", L"b.jpeg", L"C:\\d.e\\c.bmp", L"d.Jpg"}) {
        CLSID clsid = {};
        ASSERT_TRUE(GetEncoderClsidForPath(path, &clsid)) << CString(path).ToUtf8();
        int i = FindCodecByExtension(enc, GetPathExtension(path));
        ASSERT_GE(i, 0);
        EXPECT_TRUE(IsEqualGUID(clsid, enc[i]->GetCLSID())) << CString(path).ToUtf8();
    }
    CLSID untouched = kClsidA;
    for (const wchar_t* path : {L"C:\\x\\noext", L"C:\\dir.png\\noext", L"a.xyz", L"a.", L""}) {
        EXPECT_FALSE(GetEncoderClsidForPath(path, &untouched)) << CString(path).ToUtf8();
    }
    EXPECT_FALSE(GetEncoderClsidForPath(nullptr, &untouched));
    EXPECT_FALSE(GetEncoderClsidForPath(L"a.png", nullptr));
    EXPECT_TRUE(IsEqualGUID(untouched, kClsidA)) << "a failed lookup wrote the identifier";
}

TEST(CodecsWithoutGdiplus, NothingIsListedBeforeGdiplusStarts) {
    ASSERT_FALSE(CGdiplusSession::IsRunning());
    EXPECT_FALSE(IsGdiplusReady());
    CGdiplusCodecArray arr = MakeAB();
    EXPECT_FALSE(FillGdiplusCodecArray(TRUE, arr));
    EXPECT_TRUE(arr.empty());
    CLSID clsid = {};
    EXPECT_FALSE(GetEncoderClsidForPath(L"a.png", &clsid));
    {
        CGdiplusSession session;
        EXPECT_TRUE(CGdiplusSession::IsRunning());
        EXPECT_TRUE(IsGdiplusReady());
    }
    EXPECT_FALSE(CGdiplusSession::IsRunning());
}

TEST_F(RealCodecs, OnlyTheGifEncoderIsTakenForGif) {
    const struct Row {
        const wchar_t* path;
        bool gif;
    } rows[] = {{L"a.gif", true}, {L"a.png", false}, {L"a.jpg", false}, {L"a.bmp", false}};
    for (const Row& r : rows) {
        CLSID clsid = {};
        ASSERT_TRUE(GetEncoderClsidForPath(r.path, &clsid)) << CString(r.path).ToUtf8();
        EXPECT_EQ(IsGifEncoder(clsid), r.gif) << CString(r.path).ToUtf8();
    }
    EXPECT_FALSE(IsGifEncoder(kClsidA)) << "an identifier that names no encoder";
}
