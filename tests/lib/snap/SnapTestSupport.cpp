#include "tests/lib/snap/SnapTestSupport.h"

#include <cstdio>

namespace snaptest {

namespace {

LRESULT CALLBACK ColourProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        const ColourWindow* self =
            reinterpret_cast<const ColourWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        RECT rc;
        GetClientRect(h, &rc);
        int cx = rc.right / 2, cy = rc.bottom / 2;
        RECT parts[4] = {{0, 0, cx, cy},
                         {cx, 0, rc.right, cy},
                         {0, cy, cx, rc.bottom},
                         {cx, cy, rc.right, rc.bottom}};
        for (int i = 0; i < 4; ++i) {
            HBRUSH b = CreateSolidBrush(self ? self->colours[i] : RGB(255, 255, 255));
            FillRect(dc, &parts[i], b);
            DeleteObject(b);
        }
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

const wchar_t* ColourClass() {
    static ATOM atom = [] {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &ColourProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SnapTestColour";
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        return RegisterClassW(&wc);
    }();
    (void)atom;
    return L"SnapTestColour";
}

}  // namespace

ColourWindow::ColourWindow(const CRect& rc, COLORREF colour, const wchar_t* title) {
    for (COLORREF& c : colours) c = colour;
    h = CreateWindowExW(0, ColourClass(), title, WS_POPUP, rc.left, rc.top, rc.Width(), rc.Height(),
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(h, SW_SHOWNOACTIVATE);
    UpdateWindow(h);
}

ColourWindow::ColourWindow(const CRect& rc, const COLORREF quadrants[4], const wchar_t* title)
    : ColourWindow(rc, quadrants[0], title) {
    for (int i = 0; i < 4; ++i) colours[i] = quadrants[i];
    InvalidateRect(h, nullptr, TRUE);
    UpdateWindow(h);
}

ColourWindow::~ColourWindow() { DestroyWindow(h); }

COLORREF ScreenPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    return c;
}

COLORREF BitmapPixel(HBITMAP hBitmap, int x, int y) {
    BITMAP bm = {};
    if (!hBitmap || !GetObjectW(hBitmap, sizeof bm, &bm)) return CLR_INVALID;
    if (x < 0 || y < 0 || x >= bm.bmWidth || y >= bm.bmHeight) return CLR_INVALID;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, hBitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

std::string ColourText(COLORREF c) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "RGB(%d,%d,%d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}

bool PutTextOnClipboard(const wchar_t* text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool ok = false;
    if (g) {
        memcpy(GlobalLock(g), text, bytes);
        GlobalUnlock(g);
        ok = SetClipboardData(CF_UNICODETEXT, g) != nullptr;
        if (!ok) GlobalFree(g);
    }
    CloseClipboard();
    return ok;
}

HBITMAP CopyClipboardBitmap() {
    if (!OpenClipboard(nullptr)) return nullptr;
    HANDLE h = GetClipboardData(CF_BITMAP);
    HBITMAP copy = h ? static_cast<HBITMAP>(CopyImage(h, IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    CloseClipboard();
    return copy;
}

bool PutBitmapOnClipboard(HBITMAP hBitmap) {
    HANDLE copy = CopyImage(hBitmap, IMAGE_BITMAP, 0, 0, 0);
    if (!copy || !OpenClipboard(nullptr)) {
        if (copy) DeleteObject(copy);
        return false;
    }
    EmptyClipboard();
    bool ok = SetClipboardData(CF_BITMAP, copy) != nullptr;
    if (!ok) DeleteObject(copy);
    CloseClipboard();
    return ok;
}

ClipboardHolder::ClipboardHolder(std::function<bool()> ready) : m_ready(std::move(ready)) {
    m_hOpened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_hThread = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    // Generous: the thread only has to start and open a clipboard nobody else holds.
    m_bHeld = m_hThread && WaitForSingleObject(m_hOpened, 10000) == WAIT_OBJECT_0;
}

ClipboardHolder::~ClipboardHolder() {
    if (m_hThread) {
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
    }
    if (m_hOpened) CloseHandle(m_hOpened);
}

DWORD WINAPI ClipboardHolder::Run(LPVOID pParam) {
    ClipboardHolder* self = static_cast<ClipboardHolder*>(pParam);
    // Opened for a window of its own: Wine lets a second opening for the same window (or for none)
    // through, whichever thread asks.
    HWND hOwner =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!hOwner || !OpenClipboard(hOwner)) {
        if (hOwner) DestroyWindow(hOwner);
        return 1;
    }
    SetEvent(self->m_hOpened);
    DWORD start = GetTickCount();
    while (!self->m_ready() && GetTickCount() - start < 10000) Sleep(1);
    // Well within the half second that the program's callers keep trying.
    Sleep(100);
    CloseClipboard();
    DestroyWindow(hOwner);
    return 0;
}

std::wstring SaveScreenshot(const wchar_t* name, const CRect& rc) {
    wchar_t exe[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
    if (!n || n >= MAX_PATH) return L"";
    std::wstring folder(exe);
    folder = folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"shots";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring path = folder + L"\\" + name + L".bmp";

    int w = rc.Width(), hgt = rc.Height();
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, hgt);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, hgt, screen, rc.left, rc.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFOHEADER bih = {sizeof(bih), w, hgt, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    int stride = (w * 3 + 3) & ~3;
    std::vector<BYTE> bits(static_cast<size_t>(stride) * hgt);
    GetDIBits(mem, bmp, 0, hgt, bits.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER bfh = {};
    bfh.bfType = 0x4D42;
    bfh.bfOffBits = sizeof(bfh) + sizeof(bih);
    bfh.bfSize = bfh.bfOffBits + static_cast<DWORD>(bits.size());
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) return L"";
    fwrite(&bfh, sizeof bfh, 1, f);
    fwrite(&bih, sizeof bih, 1, f);
    fwrite(bits.data(), 1, bits.size(), f);
    fclose(f);
    return path;
}

CPoint MoveCursor(int x, int y) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = static_cast<LONG>((x * 65536LL + w / 2) / w);
    in.mi.dy = static_cast<LONG>((y * 65536LL + h / 2) / h);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
    SetCursorPos(x, y);
    POINT p;
    GetCursorPos(&p);
    return CPoint(p);
}

void MouseButton(bool down) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}

TimerScript* TimerScript::s_current = nullptr;

void CALLBACK TimerScript::Tick(HWND, UINT, UINT_PTR, DWORD) {
    TimerScript* s = s_current;
    // A step may run a nested loop that dispatches further ticks; they wait for it.
    if (!s || s->m_bBusy || s->Finished()) return;
    s->m_bBusy = true;
    size_t i = s->m_next++;
    s->m_steps[i]();
    s->m_bBusy = false;
}

void TimerScript::Run(const std::function<void()>& body) {
    s_current = this;
    m_next = 0;
    UINT_PTR t = SetTimer(nullptr, 0, m_nPeriod, &TimerScript::Tick);
    body();
    KillTimer(nullptr, t);
    s_current = nullptr;
}

HINSTANCE LibraryModule() { return GetModuleHandleW(L"PeltoLib.dll"); }

}  // namespace snaptest
