#include "lib/image/ClipboardAccess.h"

BOOL OpenClipboardWithRetry(HWND hOwner) {
    // About half a second in all: longer than a viewer's look, short enough not to be noticed.
    const int kOpenAttempts = 25;
    const DWORD kOpenRetryWait = 20;
    BOOL bOpen = ::OpenClipboard(hOwner);
    for (int i = 1; !bOpen && i < kOpenAttempts; ++i) {
        ::Sleep(kOpenRetryWait);
        bOpen = ::OpenClipboard(hOwner);
    }
    return bOpen;
}
