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
    // What becomes of a number read from the file outside the values the options sheet accepts.
    enum OutOfRange { kAnyValue, kClampToRange, kUseDefault };

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
        OutOfRange outside;  // kAnyValue: the file's number is taken as it is
        int nMin, nMax;      // the accepted values, both included
    };

    // Stored settings first, in file order; then the settings the file does not hold.
    static const Field* Get(size_t& nCount);
    // The row of that setting name, or null.
    static const Field* Find(const wchar_t* pszName);

    static void SetDefault(CPeltoConfig& config, const Field& field);
    // A number read from the file for the field (an unsigned setting as its signed text) brought
    // into the field's accepted values.
    static int Limit(const Field& field, int nValue);

private:
    static const Field s_fields[];
};
