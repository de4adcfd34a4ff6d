// CHotKeyCtrl: the platform's hot-key control. The modifier word is the control's own form
// (HOTKEYF_SHIFT 1, HOTKEYF_CONTROL 2, HOTKEYF_ALT 4, HOTKEYF_EXT 8) and passes through unchanged.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

class CHotKeyCtrl : public CWnd {
public:
    void SetHotKey(WORD wVirtualKeyCode, WORD wModifiers) {
        SendMessage(HKM_SETHOTKEY, MAKEWORD(LOBYTE(wVirtualKeyCode), LOBYTE(wModifiers)));
    }
    void GetHotKey(WORD& wVirtualKeyCode, WORD& wModifiers) const {
        WORD w = LOWORD(SendMessage(HKM_GETHOTKEY));
        wVirtualKeyCode = LOBYTE(w);
        wModifiers = HIBYTE(w);
    }
};
