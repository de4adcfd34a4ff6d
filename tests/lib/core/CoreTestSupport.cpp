#include "tests/lib/core/CoreTestSupport.h"

#include "lib/codec/GdiplusHeaders.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "lib/core/Helper.h"

CPixels ReadPixels(HBITMAP hBitmap) {
    CPixels p;
    BITMAP bm = {};
    if (!hBitmap || !::GetObjectW(hBitmap, sizeof bm, &bm)) return p;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> raw(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC hDC = ::GetDC(nullptr);
    int lines = ::GetDIBits(hDC, hBitmap, 0, static_cast<UINT>(bm.bmHeight), raw.data(), &bmi,
                            DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hDC);
    if (lines != bm.bmHeight) return p;
    p.cx = bm.bmWidth;
    p.cy = bm.bmHeight;
    p.data.resize(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        DWORD v = raw[i];
        p.data[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    return p;
}

CPixels ReadImagePixels(Gdiplus::Image* pImage) {
    CPixels p;
    if (!pImage) return p;
    int cx = static_cast<int>(pImage->GetWidth()), cy = static_cast<int>(pImage->GetHeight());
    if (cx <= 0 || cy <= 0) return p;
    Gdiplus::Bitmap target(cx, cy, PixelFormat32bppRGB);
    {
        Gdiplus::Graphics g(&target);
        g.DrawImage(pImage, 0, 0, cx, cy);
    }
    Gdiplus::BitmapData data = {};
    Gdiplus::Rect rc(0, 0, cx, cy);
    if (target.LockBits(&rc, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &data) != Gdiplus::Ok)
        return p;
    p.cx = cx;
    p.cy = cy;
    p.data.resize(static_cast<size_t>(cx) * cy);
    for (int y = 0; y < cy; ++y) {
        const DWORD* row = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(data.Scan0) +
                                                          static_cast<ptrdiff_t>(y) * data.Stride);
        for (int x = 0; x < cx; ++x) {
            DWORD v = row[x];
            p.data[static_cast<size_t>(y) * cx + x] =
                RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        }
    }
    target.UnlockBits(&data);
    return p;
}

HBITMAP MakeBitmap(int cx, int cy, COLORREF (*fill)(int x, int y)) {
    HDC hScreen = ::GetDC(nullptr);
    HBITMAP h = ::CreateCompatibleBitmap(hScreen, cx, cy);
    ::ReleaseDC(nullptr, hScreen);
    if (!h) return nullptr;
    std::vector<DWORD> raw(static_cast<size_t>(cx) * cy);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x) {
            COLORREF c = fill(x, y);
            raw[static_cast<size_t>(y) * cx + x] =
                (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    HDC hDC = ::GetDC(nullptr);
    ::SetDIBits(hDC, h, 0, static_cast<UINT>(cy), raw.data(), &bmi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hDC);
    return h;
}

std::string Hex(COLORREF c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%06lX", static_cast<unsigned long>(c));
    return buf;
}

std::string DescribeDifference(const CPixels& a, const CPixels& b) {
    std::ostringstream s;
    if (a.cx != b.cx || a.cy != b.cy) {
        s << "sizes differ: " << a.cx << "x" << a.cy << " vs " << b.cx << "x" << b.cy;
        return s.str();
    }
    for (int y = 0; y < a.cy; ++y)
        for (int x = 0; x < a.cx; ++x)
            if (a.At(x, y) != b.At(x, y)) {
                s << "first difference at (" << x << ", " << y << "): " << Hex(a.At(x, y)) << " vs "
                  << Hex(b.At(x, y));
                return s.str();
            }
    return std::string();
}

COLORREF ScreenPixel(int x, int y) {
    HDC hDC = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(hDC, x, y);
    ::ReleaseDC(nullptr, hDC);
    return c;
}

CSize ScreenSize() {
    return CSize(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

namespace {
LRESULT CALLBACK ColorWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CColorWindow* self = reinterpret_cast<CColorWindow*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(hWnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
            break;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC hDC = ::BeginPaint(hWnd, &ps);
            RECT rc;
            ::GetClientRect(hWnd, &rc);
            if (self) {
                // The split is in window coordinates; the client may start inside a frame.
                POINT origin = {0, 0};
                ::MapWindowPoints(hWnd, nullptr, &origin, 1);
                RECT rw;
                ::GetWindowRect(hWnd, &rw);
                int split = self->m_nSplitX - (origin.x - rw.left);
                RECT left = rc, right = rc;
                left.right = min(static_cast<int>(rc.right), max(0, split));
                right.left = left.right;
                HBRUSH b1 = ::CreateSolidBrush(self->m_clrLeft);
                HBRUSH b2 = ::CreateSolidBrush(self->m_clrRight);
                ::FillRect(hDC, &left, b1);
                ::FillRect(hDC, &right, b2);
                ::DeleteObject(b1);
                ::DeleteObject(b2);
            }
            ::EndPaint(hWnd, &ps);
            return 0;
        }
        default:
            break;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

LPCWSTR ColorClass() {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = ColorWndProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = L"PeltoCoreTestColor";
        atom = ::RegisterClassW(&wc);
    }
    return L"PeltoCoreTestColor";
}
}  // namespace

CColorWindow::CColorWindow(const RECT& rc, COLORREF clrLeft, COLORREF clrRight, int nSplitX,
                           DWORD dwStyle, DWORD dwExStyle, LPCWSTR lpszTitle)
    : m_clrLeft(clrLeft),
      m_clrRight(clrRight == CLR_INVALID ? clrLeft : clrRight),
      m_nSplitX(nSplitX) {
    m_hWnd = ::CreateWindowExW(dwExStyle, ColorClass(), lpszTitle, dwStyle | WS_VISIBLE, rc.left,
                               rc.top, rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr,
                               ::GetModuleHandleW(nullptr), this);
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::UpdateWindow(m_hWnd);
    PumpFor(150);
}

CColorWindow::~CColorWindow() {
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    PumpFor(30);
}

CConfigFileGuard::CConfigFileGuard(const CPeltoConfig& config) {
    m_strPath = CPeltoConfig::GetConfigPath().str();
    std::ifstream in(m_strPath.c_str(), std::ios::binary);
    if (in) {
        std::ostringstream s;
        s << in.rdbuf();
        m_strSaved = s.str();
        m_bHadFile = true;
    }
    config.SaveConfigFile(m_strPath.c_str());
}

CConfigFileGuard::~CConfigFileGuard() {
    if (m_bHadFile) {
        std::ofstream out(m_strPath.c_str(), std::ios::binary | std::ios::trunc);
        out << m_strSaved;
    } else {
        ::DeleteFileW(m_strPath.c_str());
    }
}

CPeltoConfig QuietConfig() {
    CPeltoConfig c;
    c.SetSnapDelayTime(0);
    c.SetPlaySnapSound(FALSE);
    c.SetHideMainWnd(FALSE);
    c.SetSnapOnStart(FALSE);
    c.SetAutoCopy(FALSE);
    c.ResetImageOption();
    return c;
}

CEngineHost::CEngineHost(const CPeltoConfig& config, BOOL bInit) {
    CRect rcMain(300, 300, 700, 650);
    m_wndMain.CreateEx(0, nullptr, L"Pelto test main", WS_POPUP | WS_VISIBLE, rcMain, nullptr, 0);
    CRect rcView(8, 8, 8 + 384, 8 + 296);
    m_wndView.CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, rcView, &m_wndMain, 1000);
    m_pConfigGuard.reset(new CConfigFileGuard(config));
    if (bInit) m_nInitResult = m_core.InitSnapper(&m_wndMain, &m_wndView);
    PumpFor(20);
}

CEngineHost::~CEngineHost() {
    m_core.CloseSnapper();
    m_pConfigGuard.reset();
    m_wndView.DestroyWindow();
    m_wndMain.DestroyWindow();
    PumpFor(20);
}

CTempFolder::CTempFolder() {
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    static int n = 0;
    wchar_t name[64];
    std::swprintf(name, 64, L"pelto_core_%lu_%d", ::GetCurrentProcessId(), ++n);
    m_strPath = std::wstring(base) + name;
    ::CreateDirectoryW(m_strPath.c_str(), nullptr);
}

CTempFolder::~CTempFolder() {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW((m_strPath + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((m_strPath + L"\\" + fd.cFileName).c_str());
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(m_strPath.c_str());
}

bool FileExists(const std::wstring& strPath) {
    return ::GetFileAttributesW(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

LONGLONG FileSize(const std::wstring& strPath) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!::GetFileAttributesExW(strPath.c_str(), GetFileExInfoStandard, &d)) return -1;
    return (static_cast<LONGLONG>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

namespace {
// One entry of the GDI handle table that the process environment block points to (x64 layout):
// the kernel object pointer, the owner word, the unique word (type and reuse count), the type.
struct GdiTableEntry {
    UINT64 object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR extType;
    UINT64 user;
};
static_assert(sizeof(GdiTableEntry) == 24, "GDI table entry layout");

const GdiTableEntry* GdiTable() {
    typedef void*(WINAPI * GetPebFn)();
    GetPebFn pfnGetPeb = reinterpret_cast<GetPebFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetCurrentPeb")));
    if (!pfnGetPeb) return nullptr;
    const BYTE* peb = static_cast<const BYTE*>(pfnGetPeb());
    return *reinterpret_cast<const GdiTableEntry* const*>(peb + 0xF8);
}
}  // namespace

long GdiObjectCount() {
    DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (n > 0) return static_cast<long>(n);
    const GdiTableEntry* table = GdiTable();
    if (!table) return -1;
    // Entries are handed out from the bottom up; a long run of never-used entries ends the table.
    long nLive = 0;
    int nUnused = 0;
    for (int i = 0; i < 65536 && nUnused < 1024; ++i) {
        const GdiTableEntry& e = table[i];
        if (e.object == 0 && e.unique == 0) {
            ++nUnused;
            continue;
        }
        nUnused = 0;
        if (e.object != 0 && e.type != 0) ++nLive;
    }
    return nLive;
}

int RunClipboardHelper(const std::wstring& strArgs, std::string* pOutput, HANDLE* phProcess) {
    std::wstring cmd = L"\"" + std::wstring(CHelper::GetAppPath().GetString()) +
                       L"core_clipboard_helper.exe\" " + strArgs;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE hRead = nullptr, hWrite = nullptr;
    if (!::CreatePipe(&hRead, &hWrite, &sa, 0)) return -1;
    ::SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = hWrite;
    si.hStdError = hWrite;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> line(cmd.begin(), cmd.end());
    line.push_back(0);
    BOOL ok = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                               &si, &pi);
    ::CloseHandle(hWrite);
    if (!ok) {
        ::CloseHandle(hRead);
        return -1;
    }
    ::CloseHandle(pi.hThread);
    std::string out;
    char buf[256];
    DWORD n;
    while (::ReadFile(hRead, buf, sizeof buf, &n, nullptr) && n > 0) {
        out.append(buf, n);
        if (phProcess && out.find('\n') != std::string::npos) break;
    }
    ::CloseHandle(hRead);
    if (pOutput) *pOutput = out;
    if (phProcess) {
        *phProcess = pi.hProcess;
        return 0;
    }
    ::WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = static_cast<DWORD>(-1);
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}
