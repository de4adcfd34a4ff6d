// Every setting of CPeltoConfig described once: its name, where it lies in config.xml (if it is
// stored at all), its member, its default and whether the image-option reset returns it to that
// default. The constructor, ResetImageOption, the reader, the writer and the tests all walk this
// table, so a new setting is one row here plus its member and accessors.
#pragma once

#include <cstddef>

#include "lib/PeltoLibApi.h"
#include "lib/config/PeltoConfig.h"

struct PELTOLIB_API CPeltoConfigFields {
    enum Kind { kString, kInt, kUint, kWord };

    struct Field {
        const wchar_t* pszName;   // the setting's accessor name, or the file key of a hot-key word
        const wchar_t* pszGroup;  // null: directly under the root
        const wchar_t* pszKey;    // null: not stored in the file
        Kind kind;
        bool bResetByImageOption;
        const wchar_t* pszDefault;  // kString
        int nDefault;               // the numeric kinds; a UINT or WORD default as its value
        CString CPeltoConfig::*pString;
        int CPeltoConfig::*pInt;
        UINT CPeltoConfig::*pUint;
        WORD CPeltoConfig::*pWord;
    };

    // Stored settings first, in file order; then the settings the file does not hold.
    static const Field* Get(size_t& nCount);
    // The row of that setting name, or null.
    static const Field* Find(const wchar_t* pszName);

    static void SetDefault(CPeltoConfig& config, const Field& field);

private:
    static const Field s_fields[];
};
