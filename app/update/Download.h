// One download on a short-lived worker thread, awaited on the calling thread while that thread's
// messages are dispatched (windows stay painted, progress reports reach the dialog, buttons work).
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "framework/FxString.h"

enum class DownloadResult { Ok, Failed, Cancelled, TimedOut, Rejected };

struct DownloadRequest {
    CString strUrl;
    CString strPath;
    // INFINITE: as long as the platform's download takes.
    DWORD dwTimeoutMs = INFINITE;
    // Raised (on this thread, by a handler run during the wait) to give up on the download.
    const std::atomic<bool>* pCancel = nullptr;
    // Checks the downloaded file before it takes its name; false throws it away (Rejected).
    std::function<bool(const CString& strTempPath)> verify;
    // A file that grows past this many bytes is given up on while it comes in (Failed; Rejected
    // when only the finished file shows it), so that a server sending without end cannot fill
    // the disk; 0: no limit.
    ULONGLONG nMaxBytes = 0;
};

// The file is written under a temporary name beside strPath and renamed only when the server
// answered with success and verify agreed, so a failed, refused or abandoned download never
// leaves anything under strPath. An earlier file of that name is replaced.
DownloadResult DownloadToFile(const DownloadRequest& request);

// "?skq=" and a number that differs for every download of the process (the tick count, moved on
// when two downloads fall into the same millisecond), so that no cache answers in the server's
// place.
CString CacheBreakingQuery();

// Waits for hThread while dispatching messages; false when the time ran out, *pCancel was
// raised, the thread's message loop was asked to quit, or the wait failed.
bool WaitDispatchingMessages(HANDLE hThread, DWORD dwTimeoutMs, const std::atomic<bool>* pCancel);
