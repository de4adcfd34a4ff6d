// One image codec as GDI+ describes it, in the form the image file dialogs need: the display name,
// the lower-case pattern list for the type filter, the default extension and the class identifier
// that GDI+ takes as the encoder when saving.
#pragma once

#include <windows.h>

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"

class PELTOLIB_API CGdiplusCodecInfo {
public:
    // lpszExtensions: GDI+'s pattern list such as "*.JPG;*.JPEG". Null texts count as empty.
    CGdiplusCodecInfo(LPCWSTR lpszFormat, LPCWSTR lpszExtensions, const CLSID& clsid);
    CGdiplusCodecInfo(const CGdiplusCodecInfo& other);
    CGdiplusCodecInfo& operator=(const CGdiplusCodecInfo& other);
    ~CGdiplusCodecInfo();

    CString GetFormat() const;
    CString GetExtensions() const;
    // The first pattern without its '*' and '.': "jpg" for "*.jpg;*.jpeg". Valid while the record
    // lives and is not assigned to.
    LPCWSTR GetDefExt() const;
    CLSID GetCLSID() const;

    // True when one of the patterns is "*." followed by lpszExt (given without its dot), compared
    // without regard to case. An empty extension matches only the pattern "*.".
    bool FindExtension(LPCWSTR lpszExt) const;

protected:
    void ConvertCopy(CString& strTarget, LPCWSTR lpszSource);

private:
    CString m_strFormat;
    CString m_strExtensions;
    CString m_strDefExt;
    CLSID m_clsid;
};
