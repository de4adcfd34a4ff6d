// config.xml: every stored setting is described once in the table below, which drives both the
// writer and the reader, so the two cannot drift apart.
#include <new>

#include "lib/config/AppPath.h"
#include "lib/config/PeltoConfig.h"
#include "lib/config/XmlFile.h"
#include "lib/config/XmlTree.h"

struct CPeltoConfigFields {
    enum Kind { kString, kInt, kUint, kWord };

    struct Field {
        const wchar_t* pszGroup;  // null: directly under the root
        const wchar_t* pszKey;
        Kind kind;
        CString CPeltoConfig::*pString;
        int CPeltoConfig::*pInt;
        UINT CPeltoConfig::*pUint;
        WORD CPeltoConfig::*pWord;
    };

    static Field String(const wchar_t* pszGroup, const wchar_t* pszKey, CString CPeltoConfig::*p) {
        return {pszGroup, pszKey, kString, p, nullptr, nullptr, nullptr};
    }
    static Field Int(const wchar_t* pszGroup, const wchar_t* pszKey, int CPeltoConfig::*p) {
        return {pszGroup, pszKey, kInt, nullptr, p, nullptr, nullptr};
    }
    static Field Uint(const wchar_t* pszGroup, const wchar_t* pszKey, UINT CPeltoConfig::*p) {
        return {pszGroup, pszKey, kUint, nullptr, nullptr, p, nullptr};
    }
    static Field Word(const wchar_t* pszGroup, const wchar_t* pszKey, WORD CPeltoConfig::*p) {
        return {pszGroup, pszKey, kWord, nullptr, nullptr, nullptr, p};
    }

    // In file order. ScaleFactor and the three flags of the effect chain are not stored.
    static const Field* Get(size_t& nCount) {
        using C = CPeltoConfig;
        static const wchar_t kBasic[] = L"Basic";
        static const wchar_t kImage[] = L"Image";
        static const wchar_t kHotKey[] = L"HotKey";
        static const wchar_t kAppData[] = L"AppData";
        static const Field fields[] = {
            String(nullptr, L"Author", &C::m_strAuthor),
            String(nullptr, L"Version", &C::m_strVersion),
            String(nullptr, L"URL", &C::m_strURL),
            String(nullptr, L"Mail", &C::m_strMail),
            String(nullptr, L"AppName", &C::m_strAppName),
            Int(kBasic, L"PlaySnapSound", &C::m_bPlaySnapSound),
            Int(kBasic, L"HideMainWnd", &C::m_bHideMainWnd),
            Int(kBasic, L"SnapOnStart", &C::m_bSnapOnStart),
            Uint(kBasic, L"SnapDelayTime", &C::m_nSnapDelayTime),
            Int(kBasic, L"KeepOnTop", &C::m_bKeepOnTop),
            Int(kImage, L"GrayScale", &C::m_bGrayScale),
            Int(kImage, L"Negate", &C::m_bNegate),
            Int(kImage, L"Scale", &C::m_bScale),
            Int(kImage, L"Rotate", &C::m_bRotate),
            Int(kImage, L"FlipHorz", &C::m_bFlipHorz),
            Int(kImage, L"FlipVert", &C::m_bFlipVert),
            Int(kImage, L"ShearDown", &C::m_bShearDown),
            Int(kImage, L"ShearAcross", &C::m_bShearAcross),
            Int(kImage, L"Blur", &C::m_bBlur),
            Int(kImage, L"Sharpen", &C::m_bSharpen),
            Int(kImage, L"AutoCopy", &C::m_bAutoCopy),
            String(kImage, L"EditAppPath", &C::m_strEditAppPath),
            Int(kImage, L"RotateAngle", &C::m_nRotateAngle),
            Int(kImage, L"XShearAmount", &C::m_nShearAcrossAmout),
            Int(kImage, L"YShearAmount", &C::m_nShearDownAmout),
            Int(kImage, L"BlurFactor", &C::m_nBlurFactor),
            Int(kImage, L"SharpenFactor", &C::m_nSharpenFactor),
            Word(kHotKey, L"NewSnapModifier", &C::m_wNewSnapModifier),
            Word(kHotKey, L"NewSnapVk", &C::m_wNewSnapVk),
            Word(kHotKey, L"FullScreenModifier", &C::m_wFullScreenModifier),
            Word(kHotKey, L"FullScreenVk", &C::m_wFullScreenVk),
            Word(kHotKey, L"ActiveWinModifier", &C::m_wActiveWinModifier),
            Word(kHotKey, L"ActiveWinVk", &C::m_wActiveWinVk),
            Word(kHotKey, L"CurrentWinModifier", &C::m_wCurrentWinModifier),
            Word(kHotKey, L"CurrentWinVk", &C::m_wCurrentWinVk),
            Word(kHotKey, L"WinClientModifier", &C::m_wWinClientModifier),
            Word(kHotKey, L"WinClientVk", &C::m_wWinClientVk),
            Word(kHotKey, L"WinObjModifier", &C::m_wWinObjModifier),
            Word(kHotKey, L"WinObjVk", &C::m_wWinObjVk),
            Word(kHotKey, L"SelectRectModifier", &C::m_wSelectRectModifier),
            Word(kHotKey, L"SelectRectVk", &C::m_wSelectRectVk),
            Word(kHotKey, L"ShowHideModifier", &C::m_wShowHideModifier),
            Word(kHotKey, L"ShowHideVk", &C::m_wShowHideVk),
            Int(kAppData, L"SnapMode", &C::m_nSnapMode),
        };
        nCount = sizeof(fields) / sizeof(fields[0]);
        return fields;
    }

    static void Store(CPeltoConfig& config, const Field& field, const XML_Node& node) {
        switch (field.kind) {
            case kString:
                config.*field.pString = node.GetValue();
                break;
            case kInt:
                config.*field.pInt = node.GetValueAsInt();
                break;
            case kUint:
                config.*field.pUint = static_cast<UINT>(node.GetValueAsInt());
                break;
            case kWord:
                config.*field.pWord = static_cast<WORD>(node.GetValueAsInt() & 0xFFFF);
                break;
        }
    }

    static void Put(XML_Tree& tree, const CPeltoConfig& config, const Field& field) {
        switch (field.kind) {
            case kString:
                tree.AddValue(config.*field.pString);
                break;
            case kInt:
                tree.AddValue(config.*field.pInt);
                break;
            case kUint:
                tree.AddValue(static_cast<int>(config.*field.pUint));
                break;
            case kWord:
                tree.AddValue(static_cast<int>(config.*field.pWord));
                break;
        }
    }
};

namespace {

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
            // Keys count only in their own group; the first of equal names wins.
            const XML_Node* pGroup = field.pszGroup ? pRoot->GetSubItem(field.pszGroup) : pRoot;
            if (!pGroup) continue;
            if (const XML_Node* pKey = pGroup->GetSubItem(field.pszKey)) {
                CPeltoConfigFields::Store(*this, field, *pKey);
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
            if (!SameGroup(field.pszGroup, pszOpenGroup)) {
                if (pszOpenGroup) tree.EndElement();
                if (field.pszGroup) tree.AddElement(field.pszGroup);
                pszOpenGroup = field.pszGroup;
            }
            tree.AddElement(field.pszKey);
            CPeltoConfigFields::Put(tree, *this, field);
            tree.EndElement();
        }
        if (pszOpenGroup) tree.EndElement();
        tree.EndElement();
        XML_File::WriteXMLFile(tree, strPath);
    } catch (const std::exception&) {
        // Nothing was replaced: the previous file stays.
    }
}
