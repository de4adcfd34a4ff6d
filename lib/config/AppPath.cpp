#include "lib/config/AppPath.h"

#include <windows.h>

#include <new>
#include <vector>

CString GetAppPath() {
    try {
        // A fixed buffer of MAX_PATH would silently cut a longer path and yield some other
        // folder; grow until the whole path fits instead.
        std::vector<wchar_t> buffer(MAX_PATH);
        for (;;) {
            DWORD nSize = static_cast<DWORD>(buffer.size());
            DWORD nLength = ::GetModuleFileNameW(nullptr, buffer.data(), nSize);
            if (nLength == 0) return CString();
            if (nLength < nSize) {
                CString strPath(buffer.data(), static_cast<int>(nLength));
                return strPath.Left(strPath.ReverseFind(L'\\') + 1);
            }
            if (buffer.size() >= 32768) return CString();
            buffer.resize(buffer.size() * 2);
        }
    } catch (const std::bad_alloc&) {
        return CString();
    }
}

bool CanCreateFilesIn(const CString& strFolder) {
    CString probe;
    probe.Format(L"%spelto-write-probe-%lu.tmp", strFolder.GetString(), ::GetCurrentProcessId());
    HANDLE h = ::CreateFileW(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(h);
    return true;
}
