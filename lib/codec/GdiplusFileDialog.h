// The open and save-as dialogs for image files. Their file types come from GDI+'s codec lists at
// the time the dialog is shown: the open dialog offers every format GDI+ reads, the save dialog
// every format it writes, and the save dialog also decides which encoder writes the file.
#pragma once

#include <windows.h>

#include "framework/FileDialog.h"
#include "lib/PeltoLibApi.h"
#include "lib/codec/GdiplusCodecList.h"

class PELTOLIB_API CGdiplusFileDialog : public CFileDialog {
public:
    CGdiplusFileDialog(BOOL bOpenFileDialog, LPCWSTR lpszFileName, DWORD dwFlags, CWnd* pParentWnd);
    ~CGdiplusFileDialog() override;

    // IDOK or IDCANCEL. IDCANCEL at once, without showing anything, when GDI+ is not running.
    INT_PTR DoModal() override;

    // The dialog window goes away: its codec records go with it.
    void OnDestroy();

protected:
    virtual void FillCodecInfoArray() = 0;
    virtual void ConstructMFCStyleFilter() = 0;
    // Turns the '|'-separated filter text into the dialog's list of zero-terminated pairs.
    void TranslateFilter();

    CGdiplusCodecArray m_arrCodecs;

    DECLARE_MESSAGE_MAP()
};

class PELTOLIB_API CGdiplusFileOpenDialog : public CGdiplusFileDialog {
public:
    // 0x80004: OFN_EXPLORER | OFN_HIDEREADONLY.
    explicit CGdiplusFileOpenDialog(LPCWSTR lpszFileName = nullptr, DWORD dwFlags = 0x80004,
                                    CWnd* pParentWnd = nullptr);

protected:
    void FillCodecInfoArray() override;
    void ConstructMFCStyleFilter() override;

    DECLARE_MESSAGE_MAP()
};

class PELTOLIB_API CGdiplusFileSaveAsDialog : public CGdiplusFileDialog {
public:
    // 0x80002: OFN_EXPLORER | OFN_OVERWRITEPROMPT.
    explicit CGdiplusFileSaveAsDialog(LPCWSTR lpszFileName = nullptr, DWORD dwFlags = 0x80002,
                                      CWnd* pParentWnd = nullptr);

    // The encoder for the file: that of the chosen type, or of a typed extension that an encoder
    // knows. Meaningful once the dialog has started.
    CLSID GetCodecCLSID() const;
    // The extension of the name currently entered (of the confirmed name after the dialog);
    // empty when the file name has none.
    CString GetFileExt() const;

protected:
    // Both follow the chosen type; they do nothing when the type names no encoder.
    void SetDefaultExt();
    void SetCurrentCodecCLSID();

    BOOL OnFileNameOK() override;
    void OnInitDone() override;
    void OnTypeChange() override;
    void FillCodecInfoArray() override;
    void ConstructMFCStyleFilter() override;

    // The encoder of the chosen type, or null when the type index lies outside the array.
    const CGdiplusCodecInfo* GetChosenCodec() const;

    CLSID m_clsidCodec;

    DECLARE_MESSAGE_MAP()
};
