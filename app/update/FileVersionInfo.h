// Reads the version resource of a file: the fixed record and the twelve standard strings of the
// translation that suits the user's language best.
#pragma once

#include <windows.h>

#include "framework/FxString.h"

class FileVersionInfo {
public:
    FileVersionInfo();
    virtual ~FileVersionInfo();
    virtual void Reset();

    // A null module is the running program.
    BOOL Create(HMODULE hModule = nullptr);
    BOOL Create(LPCWSTR lpszFileName);
    // The same with the user's language given, so that the choice of translation can be tried
    // for any language.
    BOOL Create(LPCWSTR lpszFileName, LANGID userLanguage);

    CString GetFileVersion() const { return m_strFileVersion; }

    VS_FIXEDFILEINFO m_fixedInfo;
    CString m_strCompanyName;
    CString m_strFileDescription;
    CString m_strFileVersion;
    CString m_strInternalName;
    CString m_strLegalCopyright;
    CString m_strOriginalFileName;
    CString m_strProductName;
    CString m_strProductVersion;
    CString m_strComments;
    CString m_strLegalTrademarks;
    CString m_strPrivateBuild;
    CString m_strSpecialBuild;
};
