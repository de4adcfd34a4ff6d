// A second program for the clipboard tests: puts, reads or holds the clipboard so that the engine
// is tested against another process, as it meets other programs in use.
//   put CX CY BBGGRR | text | get | gettext | hold MS
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
bool OpenWithRetry() {
    for (int i = 0; i < 100; ++i) {
        if (::OpenClipboard(nullptr)) return true;
        ::Sleep(20);
    }
    return false;
}

COLORREF PixelOf(HBITMAP h, int x, int y) {
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HGDIOBJ old = ::SelectObject(hMem, h);
    COLORREF c = ::GetPixel(hMem, x, y);
    ::SelectObject(hMem, old);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    return c;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const char* cmd = argv[1];
    if (!std::strcmp(cmd, "put") && argc == 5) {
        int cx = std::atoi(argv[2]), cy = std::atoi(argv[3]);
        COLORREF c = static_cast<COLORREF>(std::strtoul(argv[4], nullptr, 16));
        HDC hScreen = ::GetDC(nullptr);
        HBITMAP h = ::CreateCompatibleBitmap(hScreen, cx, cy);
        HDC hMem = ::CreateCompatibleDC(hScreen);
        HGDIOBJ old = ::SelectObject(hMem, h);
        RECT rc = {0, 0, cx, cy};
        HBRUSH b = ::CreateSolidBrush(c);
        ::FillRect(hMem, &rc, b);
        ::DeleteObject(b);
        ::SelectObject(hMem, old);
        ::DeleteDC(hMem);
        ::ReleaseDC(nullptr, hScreen);
        if (!OpenWithRetry()) return 3;
        ::EmptyClipboard();
        bool ok = ::SetClipboardData(CF_BITMAP, h) != nullptr;
        ::CloseClipboard();
        return ok ? 0 : 4;
    }
    if (!std::strcmp(cmd, "text")) {
        const wchar_t text[] = L"pelto clipboard text";
        HGLOBAL g = ::GlobalAlloc(GMEM_MOVEABLE, sizeof text);
        std::memcpy(::GlobalLock(g), text, sizeof text);
        ::GlobalUnlock(g);
        if (!OpenWithRetry()) return 3;
        ::EmptyClipboard();
        bool ok = ::SetClipboardData(CF_UNICODETEXT, g) != nullptr;
        ::CloseClipboard();
        return ok ? 0 : 4;
    }
    if (!std::strcmp(cmd, "get")) {
        if (!OpenWithRetry()) return 3;
        HBITMAP h = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
        BITMAP bm = {};
        int rc = 1;
        if (h && ::GetObjectW(h, sizeof bm, &bm)) {
            std::printf("%ld %ld %06lX %06lX\n", bm.bmWidth, bm.bmHeight,
                        static_cast<unsigned long>(PixelOf(h, 0, 0)),
                        static_cast<unsigned long>(PixelOf(h, bm.bmWidth - 1, bm.bmHeight - 1)));
            rc = 0;
        }
        ::CloseClipboard();
        std::fflush(stdout);
        return rc;
    }
    if (!std::strcmp(cmd, "gettext")) {
        if (!OpenWithRetry()) return 3;
        HANDLE h = ::GetClipboardData(CF_UNICODETEXT);
        int rc = 1;
        if (h) {
            const wchar_t* p = static_cast<const wchar_t*>(::GlobalLock(h));
            std::printf("%ls\n", p);
            ::GlobalUnlock(h);
            rc = 0;
        }
        ::CloseClipboard();
        std::fflush(stdout);
        return rc;
    }
    if (!std::strcmp(cmd, "hold") && argc == 3) {
        if (!OpenWithRetry()) return 3;
        std::printf("held\n");
        std::fflush(stdout);
        ::Sleep(static_cast<DWORD>(std::atoi(argv[2])));
        ::CloseClipboard();
        return 0;
    }
    return 2;
}
