// The eight global hot keys: registration id, the settings pair it is read from, and the message
// shown when the platform refuses it.
#pragma once

#include <windows.h>

class CPeltoConfig;

struct HotkeyRow {
    int nId;
    void (CPeltoConfig::*pfnGet)(WORD& wModifier, WORD& wVk);
    const wchar_t* pszFailure;
};

extern const HotkeyRow kHotkeyRows[8];

// The settings keep modifiers as the hot-key control gives them (1 Shift, 2 Control, 4 Alt, 8
// extended key); registration wants 4 Shift, 2 Control, 1 Alt, and the extended flag is no
// modifier at all.
UINT HotkeyModifiersForRegistration(WORD wControlModifiers);
