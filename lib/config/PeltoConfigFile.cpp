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

CString CPeltoConfig::GetConfigPath() { return GetAppPath() + L"config.xml"; }

void CPeltoConfig::LoadConfig() {
    try {
        LoadConfigFile(GetConfigPath());
    } catch (const std::exception&) {
    }
}

void CPeltoConfig::SaveConfig() {
    try {
        SaveConfigFile(GetConfigPath());
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

void CPeltoConfig::SaveConfigFile(const CString& strPath) const {
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
        XML_File::WriteXMLFile(tree, strPath);
    } catch (const std::exception&) {
        // Nothing was replaced: the previous file stays.
    }
}
