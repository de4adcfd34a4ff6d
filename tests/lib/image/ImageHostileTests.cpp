// Hostile picture bytes: decoded only through a stream that reads nothing beyond them, and refused
// before any decoder of the platform when their header does not hold.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "framework/FxString.h"
#include "lib/image/ImageBitmap.h"
#include "lib/image/MemoryStream.h"
#include "tests/lib/image/ImageTestFiles.h"

namespace {

std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"pelto_hostile_" + name;
}

void SetLe(std::string& s, size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void SetBe(std::string& s, size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) s[at + i] = static_cast<char>((v >> (8 * (n - 1 - i))) & 0xFF);
}

std::string With(std::string s, const std::function<void(std::string&)>& change) {
    change(s);
    return s;
}

}  // namespace

TEST(MemoryStreamTest, ReadsNothingBeyondTheBytesWhereverTheStreamWasMoved) {
    IStream* pStream = CreateMemoryStream("0123456789", 10);
    ASSERT_NE(pStream, nullptr);
    struct Step {
        DWORD origin;
        LONGLONG move;
        HRESULT seek;
        ULONGLONG pos;  // after the seek, when it succeeds
        ULONG want;
        const char* got;
    } steps[] = {
        {STREAM_SEEK_SET, 0, S_OK, 0, 4, "0123"},
        {STREAM_SEEK_CUR, 4, S_OK, 8, 4, "89"},
        {STREAM_SEEK_SET, 0x7FFFFFF0, S_OK, 0x7FFFFFF0, 16, ""},
        {STREAM_SEEK_END, 5, S_OK, 15, 1, ""},
        {STREAM_SEEK_END, -3, S_OK, 7, 8, "789"},
        {STREAM_SEEK_SET, -1, STG_E_INVALIDFUNCTION, 0, 1, ""},
        {STREAM_SEEK_CUR, LLONG_MAX, STG_E_INVALIDFUNCTION, 0, 1, ""},
        {STREAM_SEEK_END, LLONG_MIN, STG_E_INVALIDFUNCTION, 0, 1, ""},
        {7, 0, STG_E_INVALIDFUNCTION, 0, 1, ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.move);
        LARGE_INTEGER move;
        move.QuadPart = step.move;
        ULARGE_INTEGER pos = {};
        EXPECT_EQ(pStream->Seek(move, step.origin, &pos), step.seek);
        if (step.seek == S_OK) {
            EXPECT_EQ(pos.QuadPart, step.pos);
        }
        char buffer[32] = {};
        ULONG nRead = 99;
        EXPECT_EQ(pStream->Read(buffer, step.want, &nRead), S_OK);
        EXPECT_EQ(std::string(buffer, nRead), step.got);
    }
    ULONG nWritten = 1;
    EXPECT_TRUE(FAILED(pStream->Write("x", 1, &nWritten)));
    EXPECT_EQ(nWritten, 0u);
    STATSTG stat;
    ASSERT_EQ(pStream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 10u);
    // A clone starts where the original stands and moves on its own.
    LARGE_INTEGER to;
    to.QuadPart = 2;
    pStream->Seek(to, STREAM_SEEK_SET, nullptr);
    IStream* pClone = nullptr;
    ASSERT_EQ(pStream->Clone(&pClone), S_OK);
    char a[3] = {}, b[3] = {};
    pClone->Read(a, 2, nullptr);
    pStream->Read(b, 2, nullptr);
    EXPECT_EQ(std::string(a, 2), "23");
    EXPECT_EQ(std::string(b, 2), "23");
    pClone->Release();
    pStream->Release();
}

TEST(ImageHostileTest, HostileHeadersNeverReachTheDecoders) {
    const std::string bmp = ImageTestFiles::Bmp24(2, 2, RGB(1, 2, 3));
    const std::string ico = ImageTestFiles::Ico32(16, RGB(1, 2, 3));
    const std::string gif = ImageTestFiles::Gif1x1Red();
    const std::string png = ImageTestFiles::Png(4, 4);
    const std::string jpeg = ImageTestFiles::Jpeg(8, 8, RGB(1, 2, 3));
    ASSERT_FALSE(png.empty());
    ASSERT_FALSE(jpeg.empty());
    const size_t nSof = jpeg.find("\xFF\xC0");
    ASSERT_NE(nSof, std::string::npos);
    auto rle8 = [](std::string& s) {
        SetLe(s, 28, 8, 2);
        SetLe(s, 30, 1, 4);
        SetLe(s, 34, 4, 4);
        SetLe(s, 46, 1, 4);
    };
    struct Case {
        const wchar_t* name;
        std::string bytes;
        bool bRefused;  // false: the unchanged file, which must load
    } cases[] = {
        {L"plain.bmp", bmp, false},
        {L"rle8 offset 7FFFFFFF.bmp",
         With(bmp, [&](std::string& s) { rle8(s), SetLe(s, 10, 0x7FFFFFFF, 4); }), true},
        {L"rle8 offset FFFFFFFF.bmp",
         With(bmp, [&](std::string& s) { rle8(s), SetLe(s, 10, 0xFFFFFFFF, 4); }), true},
        {L"rle4 2147483647 wide.bmp",
         With(bmp,
              [](std::string& s) {
                  SetLe(s, 18, 0x7FFFFFFF, 4);
                  SetLe(s, 22, 1, 4);
                  SetLe(s, 28, 4, 2);
                  SetLe(s, 30, 2, 4);
                  SetLe(s, 34, 6, 4);
                  SetLe(s, 46, 1, 4);
              }),
         true},
        {L"plain.ico", ico, false},
        {L"entry past the end.ico", With(ico, [](std::string& s) { SetLe(s, 18, 0x7FFFFFF0, 4); }),
         true},
        {L"entry size past the end.ico",
         With(ico, [](std::string& s) { SetLe(s, 14, 0x10000, 4); }), true},
        {L"plain.gif", gif, false},
        {L"screen 65535.gif",
         With(gif, [](std::string& s) { SetLe(s, 6, 0xFFFF, 2), SetLe(s, 8, 0xFFFF, 2); }), true},
        {L"plain.jpg", jpeg, false},
        {L"65535 x 65535.jpg",
         With(
             jpeg,
             [&](std::string& s) { SetBe(s, nSof + 5, 0xFFFF, 2), SetBe(s, nSof + 7, 0xFFFF, 2); }),
         true},
        {L"plain.png", png, false},
        {L"16000 x 16000.png",
         With(png, [](std::string& s) { SetBe(s, 16, 16000, 4), SetBe(s, 20, 16000, 4); }), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(CString(c.name).ToUtf8());
        const std::wstring path = TempFile(c.name);
        ASSERT_TRUE(ImageTestFiles::Write(path, c.bytes));
        const bool bOle = path.find(L".png") == std::wstring::npos;
        IStream* pStream = CImageBitmap::OpenImageStream(path.c_str());
        EXPECT_EQ(pStream == nullptr, c.bRefused);
        if (pStream) pStream->Release();
        IPicture* pPicture = CImageBitmap::LoadFromBuffer(
            reinterpret_cast<const BYTE*>(c.bytes.data()), static_cast<DWORD>(c.bytes.size()));
        EXPECT_EQ(pPicture == nullptr, c.bRefused || !bOle);
        if (pPicture) pPicture->Release();
        CImageBitmap holder;
        EXPECT_EQ(holder.LoadImage(path.c_str()), bOle && !c.bRefused);
        EXPECT_EQ(holder.GetSafeHandle() != nullptr, bOle && !c.bRefused);
        DeleteFileW(path.c_str());
    }
}
