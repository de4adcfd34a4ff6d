// One check against the update server: reads the list file, decides whether it offers a newer
// version, and downloads the installer it names into the local folder.
#pragma once

#include <windows.h>

#include <atomic>

#include "app/update/Download.h"
#include "framework/FxString.h"

class CWebUpdate {
public:
    CWebUpdate();
    virtual ~CWebUpdate();

    void SetLocalDir(const CString& strFolder, BOOL bUseProgramFolder);
    bool CheckUpdate();
    bool DownloadInstaller();
    // Gives up on the download in progress (from a handler run while it is awaited).
    void Cancel() { m_bCancel = true; }

    CString GetLocalDir() const { return m_strLocalDir; }
    CString GetFileName() const { return m_strFileName; }
    CString GetNewVersion() const { return m_strNewVersion; }
    CString GetDescription() const { return m_strDescription; }
    // How the last download ended.
    DownloadResult GetLastResult() const { return m_lastResult; }

    CString m_strLocalDir;
    CString m_strListUrl;
    CString m_strBaseUrl;
    CString m_strCurVersion;
    CString m_strFileName;
    CString m_strNewVersion;
    CString m_strDescription;
    // The installer's SHA-256 from the list file; empty when the list gives none.
    CString m_strSha256;
    // The list-file download gives up after this long (INFINITE: never).
    DWORD m_dwListTimeoutMs = INFINITE;
    // Downloads larger than these are refused: a list is a few lines of text, an installer a few
    // megabytes.
    ULONGLONG m_nMaxListBytes = ULONGLONG(1) << 20;
    ULONGLONG m_nMaxInstallerBytes = ULONGLONG(256) << 20;

private:
    std::atomic<bool> m_bCancel{false};
    DownloadResult m_lastResult = DownloadResult::Ok;
};
