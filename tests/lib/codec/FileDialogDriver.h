// Drives a common file dialog of the test's own thread from a second thread, as a user would:
// choose a file type, type a name, press the buttons. If the script leaves the dialog open, the
// driver cancels it so that the test ends, and says so in Errors().
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class CFileDialogDriver {
public:
    explicit CFileDialogDriver(std::function<void(CFileDialogDriver&)> script);
    ~CFileDialogDriver();  // joins

    // Waits until the condition holds (polled), at most a few seconds; false on timeout.
    bool WaitFor(const std::function<bool()>& condition);
    // The visible file dialog of the test thread, waited for; null (and an error) on timeout.
    HWND Dialog();
    // Whether a file dialog of the test thread shows up within the time; no error when not.
    bool Appears(std::chrono::milliseconds within);
    void ChooseType(int nType);  // counted from 1, as the dialog's type index
    void TypeName(const wchar_t* name);
    void PressOk();
    void PressCancel();
    bool IsOpen() const;
    int TypeCount();
    std::wstring TypeText(int nType);

    void Join();
    const std::vector<std::string>& Errors() const { return m_errors; }

private:
    void Fail(const std::string& what) { m_errors.push_back(what); }
    LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp);

    DWORD m_uiThread;
    HWND m_hDlg = nullptr;
    std::vector<std::string> m_errors;
    std::thread m_thread;
};
