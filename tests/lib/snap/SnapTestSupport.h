// Helpers of the pick helper and overlay tests: solid and patterned windows, screen pixels,
// the clipboard, screenshots, and a timer that plays the user while a modal dialog runs.
#pragma once

#include "tests/support/TestPump.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/FxString.h"
#include "framework/Geometry.h"

namespace snaptest {

// A top-level pop-up that paints itself in one colour, or in four quadrants round its centre
// (top-left, top-right, bottom-left, bottom-right).
class ColourWindow {
public:
    ColourWindow(const CRect& rc, COLORREF colour, const wchar_t* title = L"色块");
    ColourWindow(const CRect& rc, const COLORREF quadrants[4], const wchar_t* title = L"四色块");
    ~ColourWindow();
    ColourWindow(const ColourWindow&) = delete;
    ColourWindow& operator=(const ColourWindow&) = delete;
    HWND h = nullptr;
    COLORREF colours[4];
};

// The colour of a screen pixel as the display shows it now.
COLORREF ScreenPixel(int x, int y);
// The colour of a pixel of a bitmap, or CLR_INVALID outside it.
COLORREF BitmapPixel(HBITMAP hBitmap, int x, int y);
std::string ColourText(COLORREF c);

// Puts text on the clipboard (and nothing else).
bool PutTextOnClipboard(const wchar_t* text);
// A copy of the clipboard's CF_BITMAP (the caller deletes it), or null.
HBITMAP CopyClipboardBitmap();
// Puts a copy of the bitmap on the clipboard.
bool PutBitmapOnClipboard(HBITMAP hBitmap);

// Another thread that opens the clipboard and keeps it open, as a clipboard-history service does
// after every change: the constructor returns once the clipboard is held; it is let go a moment
// after ready() first holds (polled on the holder's thread), and the destructor waits for that.
class ClipboardHolder {
public:
    explicit ClipboardHolder(std::function<bool()> ready);
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    bool Held() const { return m_bHeld; }

private:
    static DWORD WINAPI Run(LPVOID pParam);
    std::function<bool()> m_ready;
    HANDLE m_hOpened = nullptr;
    HANDLE m_hThread = nullptr;
    bool m_bHeld = false;
};

// Saves the screen area as a 24-bit BMP in the folder "shots" beside the test program (not in
// the repository), so that a person can look at it. Returns the path, or empty on failure.
std::wstring SaveScreenshot(const wchar_t* name, const CRect& rc);

// Dispatches the thread's messages for a while: the platform shows what a window painted only
// once the thread has gone idle.
using ::PumpFor;

// Moves the cursor with synthetic input and reports where the platform says it is now.
CPoint MoveCursor(int x, int y);
// Left button down or up at the current position.
void MouseButton(bool down);

// Plays the user while a modal loop runs: each step runs on one tick of a thread timer, in
// order; the loop must end itself (the last step usually ends the dialog).
class TimerScript {
public:
    explicit TimerScript(UINT nPeriod = 60) : m_nPeriod(nPeriod) {}
    void Add(std::function<void()> step) { m_steps.push_back(std::move(step)); }
    // Starts the timer, runs body (the modal call) and stops the timer.
    void Run(const std::function<void()>& body);
    bool Finished() const { return m_next >= m_steps.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    static TimerScript* s_current;
    UINT m_nPeriod;
    size_t m_next = 0;
    bool m_bBusy = false;
    std::vector<std::function<void()>> m_steps;
};

// The library's resource module made current for a scope.
HINSTANCE LibraryModule();

}  // namespace snaptest
