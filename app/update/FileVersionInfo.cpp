#include "app/update/FileVersionInfo.h"

#include <cwchar>
#include <vector>

#include "app/update/TranslationChoice.h"

FileVersionInfo::FileVersionInfo() { FileVersionInfo::Reset(); }

FileVersionInfo::~FileVersionInfo() = default;

void FileVersionInfo::Reset() {
    ZeroMemory(&m_fixedInfo, sizeof m_fixedInfo);
    for (CString* s :
         {&m_strCompanyName, &m_strFileDescription, &m_strFileVersion, &m_strInternalName,
          &m_strLegalCopyright, &m_strOriginalFileName, &m_strProductName, &m_strProductVersion,
          &m_strComments, &m_strLegalTrademarks, &m_strPrivateBuild, &m_strSpecialBuild})
        s->Empty();
}

BOOL FileVersionInfo::Create(HMODULE hModule) {
    wchar_t path[MAX_PATH + 1] = L"";
    DWORD n = ::GetModuleFileNameW(hModule, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        Reset();
        return FALSE;
    }
    return Create(path);
}

BOOL FileVersionInfo::Create(LPCWSTR lpszFileName) {
    return Create(lpszFileName, ::GetUserDefaultLangID());
}

BOOL FileVersionInfo::Create(LPCWSTR lpszFileName, LANGID userLanguage) {
    Reset();
    DWORD dwHandle = 0;
    DWORD size = ::GetFileVersionInfoSizeW(lpszFileName, &dwHandle);
    if (size == 0) return FALSE;
    std::vector<BYTE> buffer(size);
    if (!::GetFileVersionInfoW(lpszFileName, 0, size, buffer.data())) return FALSE;

    void* p = nullptr;
    UINT len = 0;
    if (::VerQueryValueW(buffer.data(), L"\\", &p, &len) && p && len == sizeof m_fixedInfo)
        CopyMemory(&m_fixedInfo, p, sizeof m_fixedInfo);

    std::vector<uint32_t> table;
    if (::VerQueryValueW(buffer.data(), L"\\VarFileInfo\\Translation", &p, &len) && p) {
        const DWORD* entries = static_cast<const DWORD*>(p);
        for (UINT i = 0; i < len / sizeof(DWORD); ++i) table.push_back(entries[i]);
    }
    int chosen = update::ChooseTranslation(table, userLanguage);
    // Without a translation there is no string block to name; reading nothing is the safe answer.
    if (chosen < 0) return FALSE;

    CString prefix;
    prefix.Format(L"\\StringFileInfo\\%04X%04X\\", table[chosen] & 0xFFFF, table[chosen] >> 16);
    struct Field {
        const wchar_t* name;
        CString* value;
    } const fields[] = {{L"CompanyName", &m_strCompanyName},
                        {L"FileDescription", &m_strFileDescription},
                        {L"FileVersion", &m_strFileVersion},
                        {L"InternalName", &m_strInternalName},
                        {L"LegalCopyright", &m_strLegalCopyright},
                        {L"OriginalFileName", &m_strOriginalFileName},
                        {L"ProductName", &m_strProductName},
                        {L"ProductVersion", &m_strProductVersion},
                        {L"Comments", &m_strComments},
                        {L"LegalTrademarks", &m_strLegalTrademarks},
                        {L"PrivateBuild", &m_strPrivateBuild},
                        {L"SpecialBuild", &m_strSpecialBuild}};
    for (const Field& f : fields) {
        CString key = prefix + f.name;
        if (::VerQueryValueW(buffer.data(), key, &p, &len) && p && len > 0) {
            // The length counts characters; stop at the terminator but never read beyond it.
            const wchar_t* text = static_cast<const wchar_t*>(p);
            *f.value = CString(text, static_cast<int>(wcsnlen(text, len)));
        }
    }
    return TRUE;
}
