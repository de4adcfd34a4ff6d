// Data exchange between dialog controls and member variables, one routine for both directions.
//
// Once a value fails to parse or to validate, the exchange stops: the control gets the focus,
// the user is told what was expected, and UpdateData returns false.
#pragma once

#include <windows.h>

#include "framework/FxApi.h"
#include "framework/FxString.h"

class CWnd;

class FX_API CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}

    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    bool m_bFailed = false;
    int m_idLastControl = 0;  // the control that the next validation speaks of

    HWND PrepareCtrl(int nIDC);
    // Marks the exchange failed, tells the user and moves the focus to the last control.
    void Fail(const CString& message);
};

FX_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
FX_API void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
FX_API void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
FX_API void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
FX_API void DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
FX_API void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// Binds a member object to the control (once: later exchanges leave it as it is).
FX_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);

FX_API void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
FX_API void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
FX_API void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);

// The message box of the framework: owned by the active window, captioned with the program's
// name. Tests may divert it to record what would have been shown.
typedef int (*FxMessageBoxHook)(const wchar_t* text, UINT type);
FX_API int AfxMessageBox(LPCWSTR lpszText, UINT nType = MB_OK);
FX_API FxMessageBoxHook AfxSetMessageBoxHook(FxMessageBoxHook hook);
