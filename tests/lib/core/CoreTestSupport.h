// What the engine tests share: an engine with its protected parts opened up, a host main window
// with a preview control, windows painted in known colours, pixel readers and message pumping.
#pragma once

#include "tests/support/TestPump.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Wnd.h"
#include "lib/core/PeltoCore.h"

// The engine with the operations and members the tests look at made public. It notes every
// blocking wait a capture makes (and still waits).
class CTestCore : public CPeltoCore {
public:
    void SnapWait(DWORD nMilliseconds) override {
        m_waits.push_back(nMilliseconds);
        CPeltoCore::SnapWait(nMilliseconds);
    }
    std::vector<DWORD> m_waits;

    using CPeltoCore::ConvertImage;
    using CPeltoCore::HighlightFoundWindow;
    using CPeltoCore::LocateSnapObjTip;
    using CPeltoCore::m_bFinding;
    using CPeltoCore::m_bmpOriginal;
    using CPeltoCore::m_bmpProcessed;
    using CPeltoCore::m_bSnapping;
    using CPeltoCore::m_bStarting;
    using CPeltoCore::m_dlgSnapObj;
    using CPeltoCore::m_hFoundWnd;
    using CPeltoCore::m_hook;
    using CPeltoCore::m_pMainWnd;
    using CPeltoCore::m_pViewWnd;
    using CPeltoCore::RefreshFoundWindow;
    using CPeltoCore::ResetBitmapData;
    using CPeltoCore::SetThubImage;
    using CPeltoCore::SnapRect;
};

// A picture read back as 32-bit pixels, each as a COLORREF (0x00BBGGRR).
struct CPixels {
    int cx = 0;
    int cy = 0;
    std::vector<COLORREF> data;
    COLORREF At(int x, int y) const { return data[static_cast<size_t>(y) * cx + x]; }
    bool operator==(const CPixels& o) const { return cx == o.cx && cy == o.cy && data == o.data; }
};
CPixels ReadPixels(HBITMAP hBitmap);
// A GDI+ image drawn into 32-bit pixels at its own size.
CPixels ReadImagePixels(Gdiplus::Image* pImage);
// A device-compatible bitmap painted by fill(x, y); the caller deletes it.
HBITMAP MakeBitmap(int cx, int cy, COLORREF (*fill)(int x, int y));
// "first difference at (x, y): a vs b" or "sizes differ"; empty when equal.
std::string DescribeDifference(const CPixels& a, const CPixels& b);
std::string Hex(COLORREF c);

COLORREF ScreenPixel(int x, int y);
CSize ScreenSize();

// A top-level pop-up with a title, painted in one colour left of nSplitX and another right of it.
class CColorWindow {
public:
    CColorWindow(const RECT& rc, COLORREF clrLeft, COLORREF clrRight = CLR_INVALID,
                 int nSplitX = 1 << 30, DWORD dwStyle = WS_POPUP, DWORD dwExStyle = 0,
                 LPCWSTR lpszTitle = L"Pelto test colour");
    ~CColorWindow();
    CColorWindow(const CColorWindow&) = delete;
    CColorWindow& operator=(const CColorWindow&) = delete;
    HWND m_hWnd = nullptr;
    COLORREF m_clrLeft, m_clrRight;
    int m_nSplitX;
};

// Replaces config.xml beside the test program for the lifetime of the object: writes the given
// settings there and puts back what was there before.
class CConfigFileGuard {
public:
    explicit CConfigFileGuard(const CPeltoConfig& config);
    ~CConfigFileGuard();

private:
    std::wstring m_strPath;
    std::string m_strSaved;
    bool m_bHadFile = false;
};

// Settings for tests: no delay, no sound, nothing hidden, no auto-copy, all effects off.
CPeltoConfig QuietConfig();

// A main window with a 384 × 296 preview control and an engine started on them.
class CEngineHost {
public:
    explicit CEngineHost(const CPeltoConfig& config = QuietConfig(), BOOL bInit = TRUE);
    ~CEngineHost();
    CWnd m_wndMain;
    CWnd m_wndView;
    std::unique_ptr<CConfigFileGuard> m_pConfigGuard;
    CTestCore m_core;
    int m_nInitResult = 0;
};

// A scratch folder removed with its files at the end.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    std::wstring File(const wchar_t* pszName) const { return m_strPath + L"\\" + pszName; }
    std::wstring m_strPath;
};

bool FileExists(const std::wstring& strPath);
LONGLONG FileSize(const std::wstring& strPath);

// The number of GDI objects the process holds: the platform's count where it keeps one, else
// (Wine) the live entries of the process's GDI handle table. -1 when neither is available.
long GdiObjectCount();

// Runs the clipboard helper beside the test program with the given arguments; returns its exit
// code (-1 when it could not run) and what it printed. With bWaitForOutput it returns as soon as
// the helper printed a line, leaving it running (the process handle goes to *phProcess).
int RunClipboardHelper(const std::wstring& strArgs, std::string* pOutput = nullptr,
                       HANDLE* phProcess = nullptr);
