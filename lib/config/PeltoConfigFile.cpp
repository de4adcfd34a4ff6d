// config.xml: the reader and the writer both walk the settings table (PeltoConfigFields.h), so the
// two cannot drift apart.
#include <new>

#include "lib/config/AppPath.h"
#include "lib/config/PeltoConfig.h"
#include "lib/config/PeltoConfigFields.h"
#include "lib/config/XmlFile.h"
#include "lib/config/XmlTree.h"

namespace {

using Field = CPeltoConfigFields::Field;

void Store(CPeltoConfig& config, const Field& field, const XML_Node& node) {
    switch (field.kind) {
        case CPeltoConfigFields::kString:
            config.*field.pString = node.GetValue();
            break;
        case CPeltoConfigFields::kInt:
            config.*field.pInt = CPeltoConfigFields::Limit(field, node.GetValueAsInt());
            break;
        case CPeltoConfigFields::kUint:
            config.*field.pUint =
                static_cast<UINT>(CPeltoConfigFields::Limit(field, node.GetValueAsInt()));
            break;
        case CPeltoConfigFields::kWord:
            config.*field.pWord = static_cast<WORD>(node.GetValueAsInt() & 0xFFFF);
            break;
    }
}

void Put(XML_Tree& tree, const CPeltoConfig& config, const Field& field) {
    switch (field.kind) {
        case CPeltoConfigFields::kString:
            tree.AddValue(config.*field.pString);
            break;
        case CPeltoConfigFields::kInt:
            tree.AddValue(config.*field.pInt);
            break;
        case CPeltoConfigFields::kUint:
            tree.AddValue(static_cast<int>(config.*field.pUint));
            break;
        case CPeltoConfigFields::kWord:
            tree.AddValue(static_cast<int>(config.*field.pWord));
            break;
    }
}

bool SameGroup(const wchar_t* pszA, const wchar_t* pszB) {
    if (!pszA || !pszB) return pszA == pszB;
    return ::wcscmp(pszA, pszB) == 0;
}

}  // namespace

namespace {

bool IsFile(const CString& strPath) {
    DWORD attributes = ::GetFileAttributesW(strPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

CString CPeltoConfig::GetAppDataConfigPath() {
    wchar_t folder[MAX_PATH] = L"";
    DWORD n = ::GetEnvironmentVariableW(L"APPDATA", folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return CString();
    CString path(folder);
    if (path.Right(1) != L"\\") path += L"\\";
    return path + L"Pelto\\config.xml";
}

CPeltoConfig::ConfigPlaces CPeltoConfig::FindPlaces() {
    ConfigPlaces places;
    CString strFolder = GetAppPath();
    places.strProgramFile = strFolder + L"config.xml";
    places.strAppDataFile = GetAppDataConfigPath();
    places.bProgramFileExists = IsFile(places.strProgramFile);
    // A settings file marked read-only cannot be replaced either: its folder counts as one that
    // cannot be written, so the settings go to (and next time come from) the other place.
    places.bProgramFolderWritable =
        CanCreateFilesIn(strFolder) &&
        !(places.bProgramFileExists &&
          (::GetFileAttributesW(places.strProgramFile) & FILE_ATTRIBUTE_READONLY));
    places.bAppDataFileExists = !places.strAppDataFile.IsEmpty() && IsFile(places.strAppDataFile);
    return places;
}

CString CPeltoConfig::ChooseFileToRead(const ConfigPlaces& p) {
    if (p.bProgramFileExists && p.bProgramFolderWritable) return p.strProgramFile;
    if (p.bAppDataFileExists) return p.strAppDataFile;
    // A read-only folder may still carry the settings it was installed with.
    if (p.bProgramFileExists) return p.strProgramFile;
    return CString();
}

void CPeltoConfig::ChooseFilesToWrite(const ConfigPlaces& p, CString& strFirst,
                                      CString& strSecond) {
    bool bProgramFirst =
        p.bProgramFolderWritable && (p.bProgramFileExists || !p.bAppDataFileExists);
    strFirst = bProgramFirst ? p.strProgramFile : p.strAppDataFile;
    strSecond = bProgramFirst ? p.strAppDataFile : p.strProgramFile;
}

CString CPeltoConfig::GetConfigPath() {
    ConfigPlaces places = FindPlaces();
    CString strRead = ChooseFileToRead(places);
    if (!strRead.IsEmpty()) return strRead;
    CString strFirst, strSecond;
    ChooseFilesToWrite(places, strFirst, strSecond);
    return strFirst.IsEmpty() ? places.strProgramFile : strFirst;
}

void CPeltoConfig::LoadConfig() {
    try {
        CString strPath = ChooseFileToRead(FindPlaces());
        if (!strPath.IsEmpty()) LoadConfigFile(strPath);
    } catch (const std::exception&) {
    }
}

void CPeltoConfig::SaveConfig() {
    m_bLastSaveFailed = TRUE;
    try {
        CString strFirst, strSecond;
        ChooseFilesToWrite(FindPlaces(), strFirst, strSecond);
        for (const CString& strPath : {strFirst, strSecond}) {
            if (strPath.IsEmpty()) continue;
            if (strPath == GetAppDataConfigPath()) {
                // The folder of our own is made on first use.
                CString strFolder = strPath.Left(strPath.ReverseFind(L'\\'));
                ::CreateDirectoryW(strFolder, nullptr);
            }
            if (WriteConfigFile(strPath)) {
                m_bLastSaveFailed = FALSE;
                return;
            }
        }
    } catch (const std::exception&) {
    }
}

void CPeltoConfig::LoadConfigFile(const CString& strPath) {
    try {
        XML_Tree tree;
        XML_File::ReadXMLFile(tree, strPath);
        const XML_Node* pRoot = tree.GetRoot();
        if (!pRoot) return;
        size_t nCount = 0;
        const CPeltoConfigFields::Field* pFields = CPeltoConfigFields::Get(nCount);
        for (size_t i = 0; i < nCount; ++i) {
            const CPeltoConfigFields::Field& field = pFields[i];
            if (!field.pszKey) continue;
            // Keys count only in their own group; the first of equal names wins.
            const XML_Node* pGroup = field.pszGroup ? pRoot->GetSubItem(field.pszGroup) : pRoot;
            if (!pGroup) continue;
            if (const XML_Node* pKey = pGroup->GetSubItem(field.pszKey)) {
                Store(*this, field, *pKey);
            }
        }
    } catch (const std::exception&) {
        // Out of memory: the settings read so far stay, the rest keep their values.
    }
}

void CPeltoConfig::SaveConfigFile(const CString& strPath) const { WriteConfigFile(strPath); }

bool CPeltoConfig::WriteConfigFile(const CString& strPath) const {
    try {
        XML_Tree tree;
        tree.AddElement(L"Snapper");
        size_t nCount = 0;
        const CPeltoConfigFields::Field* pFields = CPeltoConfigFields::Get(nCount);
        const wchar_t* pszOpenGroup = nullptr;
        for (size_t i = 0; i < nCount; ++i) {
            const CPeltoConfigFields::Field& field = pFields[i];
            if (!field.pszKey) continue;
            if (!SameGroup(field.pszGroup, pszOpenGroup)) {
                if (pszOpenGroup) tree.EndElement();
                if (field.pszGroup) tree.AddElement(field.pszGroup);
                pszOpenGroup = field.pszGroup;
            }
            tree.AddElement(field.pszKey);
            Put(tree, *this, field);
            tree.EndElement();
        }
        if (pszOpenGroup) tree.EndElement();
        tree.EndElement();
        return XML_File::ReplaceXMLFile(tree, strPath);
    } catch (const std::exception&) {
        // Nothing was replaced: the previous file stays.
        return false;
    }
}
