// What the program's tests share: the main window opened in this process on test settings, with
// its message boxes recorded instead of shown, and a few finders and readers.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/main/PeltoDlg.h"
#include "tests/lib/core/CoreTestSupport.h"

// The message boxes the program would have shown, in order.
std::vector<std::wstring>& RecordedMessages();

// The main window, created modeless on the given settings (written to config.xml beside the test
// program for its lifetime), with message boxes recorded.
class CMainWindowHost {
public:
    explicit CMainWindowHost(const CPeltoConfig& config = QuietConfig());
    ~CMainWindowHost();
    CPeltoDlg m_dlg;
    std::unique_ptr<CConfigFileGuard> m_pConfigGuard;
    BOOL m_bCreated = FALSE;

    // Sends a command as the menu does, then lets the window become idle (menu marks updated).
    void Command(UINT nID);
    void Idle();
    int Selector() const;
    bool Checked(int nCtrlId) const;
    // The state of a menu item of the menu bar: MF_CHECKED and whether it has the radio mark.
    UINT MenuState(UINT nID) const;
    bool MenuRadio(UINT nID) const;
    // The preview as the window draws it, read from a memory DC of the control's size.
    CPixels PreviewPixels();
};

// Runs fn on a second thread (a driver of modal loops); joins at destruction.
class CDriverThread {
public:
    explicit CDriverThread(std::function<void()> fn) : m_thread(std::move(fn)) {}
    ~CDriverThread() {
        if (m_thread.joinable()) m_thread.join();
    }
    CDriverThread(const CDriverThread&) = delete;
    CDriverThread& operator=(const CDriverThread&) = delete;

private:
    std::thread m_thread;
};

// A visible top-level dialog of this process holding a control of that id, waited for up to
// about ten seconds; null when none came.
HWND WaitForProcessDialog(int nCtrlId, DWORD dwTimeoutMs = 10000);
// Every visible top-level dialog of this process other than hExcept.
std::vector<HWND> ProcessDialogs(HWND hExcept);

// Puts a cx × cy bitmap of one colour on the clipboard.
bool PutColourOnClipboard(int cx, int cy, COLORREF clr);
// Saves what the screen shows inside hWnd's window rectangle as a PNG beside the test program.
bool SaveWindowShot(HWND hWnd, const wchar_t* pszName);
