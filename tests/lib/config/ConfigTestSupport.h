// Files, folders and UTF-16 text for the configuration tests.
#pragma once

#include <windows.h>

#include <string>

#include "framework/FxString.h"

namespace config_test {

// A fresh folder below the temporary folder, removed with everything in it at the end.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    // Ends in a backslash.
    const CString& GetPath() const { return m_strPath; }
    CString File(const wchar_t* pszName) const { return m_strPath + pszName; }
    // Names of the files in the folder, sorted, joined with "|".
    std::string ListFiles() const;

private:
    CString m_strPath;
};

bool FileExists(const CString& strPath);
// The whole file; "<missing>" when it cannot be opened.
std::string ReadBytes(const CString& strPath);
bool WriteBytes(const CString& strPath, const std::string& bytes);

// Little-endian code units of a wide text, as the element-tree files hold them.
std::string Utf16(const std::wstring& text);
std::wstring FromUtf16(const std::string& bytes);
// Readable form of file bytes for failure messages: the text, with \n and \r shown.
std::string Show(const std::string& bytes);
// Index of the first differing byte, or -1 when equal.
long long FirstDifference(const std::string& a, const std::string& b);

// Bytes of an RCDATA resource of the test program.
std::string LoadResourceBytes(int nId);

}  // namespace config_test
