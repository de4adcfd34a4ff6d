// Mutated picture files of every format through the library's loading paths: the bitmap holder's
// file loading and the checked stream that the engine hands to GDI+. Nothing may crash or hang.
//
// PELTO_FUZZ_SEED     seed of the run (printed; random when unset)
// PELTO_FUZZ_COUNT    cases per format (default 40); PELTO_FUZZ_FIRST the first case to run
// PELTO_FUZZ_FORMAT   only this format (bmp, ico, jpeg, gif, png, tiff)
// Each case prints a line before and after it, so tools/fuzz/image_fuzz.py can tell which case
// a crashed or hung process was in and go on from the next one.
#include <gtest/gtest.h>

#include "lib/codec/GdiplusHeaders.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "lib/image/ImageBitmap.h"
#include "tests/lib/image/ImageTestFiles.h"

namespace {

uint64_t EnvNumber(const char* pszName, uint64_t nDefault) {
    const char* psz = std::getenv(pszName);
    return psz && *psz ? std::strtoull(psz, nullptr, 0) : nDefault;
}

struct FuzzFormat {
    const char* name;
    const wchar_t* ext;
    bool bBigEndian;
    bool bHolder;  // a type the bitmap holder loads
    std::string seed;
};

// Field values that decoders trust: zero, sign and width boundaries, and sizes near the file's.
uint32_t HostileValue(std::mt19937_64& rng, size_t nSize) {
    const uint32_t kValues[] = {0,          1,          0x7F,       0x80,    0xFF,
                                0x7FFF,     0x8000,     0xFFFF,     0x10000, 0x7FFFFFFF,
                                0x80000000, 0xFFFFFFFF, 0xFFFFFFF0, 16000,   65535};
    const size_t nPick = rng() % (sizeof(kValues) / sizeof(kValues[0]) + 3);
    if (nPick < sizeof(kValues) / sizeof(kValues[0])) return kValues[nPick];
    if (nPick == sizeof(kValues) / sizeof(kValues[0])) return static_cast<uint32_t>(nSize);
    if (nPick == sizeof(kValues) / sizeof(kValues[0]) + 1) return static_cast<uint32_t>(nSize + 1);
    return static_cast<uint32_t>(rng());
}

std::string Mutate(const FuzzFormat& format, std::mt19937_64& rng) {
    std::string s = format.seed;
    const int nOps = 1 + static_cast<int>(rng() % 3);
    for (int op = 0; op < nOps && !s.empty(); ++op) {
        switch (rng() % 4) {
            case 0:    // a header field
            case 1: {  // a field anywhere (directories, chunks, segments)
                const size_t nSpan = op % 2 == 0 ? min<size_t>(s.size(), 96) : s.size();
                const int nWidth = 1 << (rng() % 3);
                const size_t nAt = rng() % nSpan;
                const uint32_t v = HostileValue(rng, s.size());
                for (int i = 0; i < nWidth && nAt + i < s.size(); ++i) {
                    const int nShift = format.bBigEndian ? 8 * (nWidth - 1 - i) : 8 * i;
                    s[nAt + i] = static_cast<char>((v >> nShift) & 0xFF);
                }
                break;
            }
            case 2:
                s.resize(rng() % s.size());
                break;
            default:
                for (int n = 1 + static_cast<int>(rng() % 8); n > 0; --n)
                    s[rng() % s.size()] ^= static_cast<char>(1 << (rng() % 8));
        }
    }
    return s;
}

// What the engine does with a file: decode it from the checked stream and make a bitmap of it.
bool LoadThroughGdiplus(const std::wstring& path) {
    IStream* pStream = CImageBitmap::OpenImageStream(path.c_str());
    if (!pStream) return false;
    bool bLoaded = false;
    {
        Gdiplus::Bitmap bitmap(pStream, FALSE);
        if (bitmap.GetLastStatus() == Gdiplus::Ok && bitmap.GetWidth() > 0) {
            HBITMAP h = nullptr;
            if (bitmap.GetHBITMAP(Gdiplus::Color(255, 255, 255), &h) == Gdiplus::Ok && h) {
                bLoaded = true;
                DeleteObject(h);
            }
        }
    }
    pStream->Release();
    return bLoaded;
}

bool LoadThroughHolder(const std::wstring& path) {
    CImageBitmap holder;
    return holder.LoadImage(path.c_str()) != FALSE;
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* pInfo) {
    std::printf("fuzz crash %08lx\n", pInfo->ExceptionRecord->ExceptionCode);
    std::fflush(stdout);
    ::ExitProcess(3);
}

}  // namespace

TEST(ImageFuzz, MutatedFilesOfEveryFormatNeitherCrashNorHang) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
    FuzzFormat formats[] = {
        {"bmp", L".bmp", false, true, ImageTestFiles::Bmp24(5, 3, RGB(10, 200, 30))},
        {"ico", L".ico", false, true, ImageTestFiles::Ico32(16, RGB(0, 128, 255))},
        {"jpeg", L".jpg", true, true, ImageTestFiles::Jpeg(16, 8, RGB(40, 160, 80))},
        {"gif", L".gif", false, true, ImageTestFiles::Gif1x1Red()},
        {"png", L".png", true, false, ImageTestFiles::Png(6, 5)},
        {"tiff", L".tif", false, false, ImageTestFiles::Tiff(6, 5, RGB(9, 8, 7))},
    };
    std::random_device device;
    const uint64_t nSeed = EnvNumber("PELTO_FUZZ_SEED", (uint64_t(device()) << 32) | device());
    const uint64_t nCount = EnvNumber("PELTO_FUZZ_COUNT", 40);
    const uint64_t nFirst = EnvNumber("PELTO_FUZZ_FIRST", 0);
    const char* pszOnly = std::getenv("PELTO_FUZZ_FORMAT");
    std::printf("fuzz seed %llu (rerun with PELTO_FUZZ_SEED=%llu)\n",
                static_cast<unsigned long long>(nSeed), static_cast<unsigned long long>(nSeed));
    ::SetUnhandledExceptionFilter(ReportCrash);
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    for (size_t f = 0; f < sizeof(formats) / sizeof(formats[0]); ++f) {
        const FuzzFormat& format = formats[f];
        if (pszOnly && *pszOnly && std::string(pszOnly) != format.name) continue;
        SCOPED_TRACE(format.name);
        ASSERT_FALSE(format.seed.empty());
        const std::wstring path = std::wstring(dir) + L"pelto_fuzz_" +
                                  std::to_wstring(GetCurrentProcessId()) + format.ext;
        // The unchanged file loads, so a refusal of every mutant would not pass unnoticed.
        ASSERT_TRUE(ImageTestFiles::Write(path, format.seed));
        EXPECT_TRUE(LoadThroughGdiplus(path));
        if (format.bHolder) {
            EXPECT_TRUE(LoadThroughHolder(path));
        }
        int nLoaded = 0, nRefused = 0;
        for (uint64_t n = nFirst; n < nCount; ++n) {
            std::mt19937_64 rng(nSeed ^ (0x9E3779B97F4A7C15ull * (n * 8 + f + 1)));
            ASSERT_TRUE(ImageTestFiles::Write(path, Mutate(format, rng)));
            std::printf("fuzz %s %llu start\n", format.name, static_cast<unsigned long long>(n));
            std::fflush(stdout);
            bool bLoaded = LoadThroughGdiplus(path);
            if (format.bHolder) bLoaded = LoadThroughHolder(path) || bLoaded;
            std::printf("fuzz %s %llu %s\n", format.name, static_cast<unsigned long long>(n),
                        bLoaded ? "loaded" : "refused");
            std::fflush(stdout);
            ++(bLoaded ? nLoaded : nRefused);
        }
        std::printf("fuzz summary %s loaded %d refused %d\n", format.name, nLoaded, nRefused);
        DeleteFileW(path.c_str());
    }
    ::SetUnhandledExceptionFilter(nullptr);
    Gdiplus::GdiplusShutdown(token);
}
