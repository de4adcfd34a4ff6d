#include "lib/config/PeltoConfig.h"

#include "lib/config/PeltoConfigFields.h"

CPeltoConfig::CPeltoConfig() {
    size_t nCount = 0;
    const CPeltoConfigFields::Field* pFields = CPeltoConfigFields::Get(nCount);
    for (size_t i = 0; i < nCount; ++i) CPeltoConfigFields::SetDefault(*this, pFields[i]);
}

CPeltoConfig::CPeltoConfig(const CPeltoConfig& other) = default;
CPeltoConfig& CPeltoConfig::operator=(const CPeltoConfig& other) = default;
CPeltoConfig::~CPeltoConfig() = default;

void CPeltoConfig::ResetImageOption() {
    size_t nCount = 0;
    const CPeltoConfigFields::Field* pFields = CPeltoConfigFields::Get(nCount);
    for (size_t i = 0; i < nCount; ++i) {
        if (pFields[i].bResetByImageOption) CPeltoConfigFields::SetDefault(*this, pFields[i]);
    }
}

#define PELTO_HOTKEY_ACCESSORS(Name)                                   \
    void CPeltoConfig::Get##Name##Hotkey(WORD& wModifier, WORD& wVk) { \
        wModifier = m_w##Name##Modifier;                               \
        wVk = m_w##Name##Vk;                                           \
    }                                                                  \
    void CPeltoConfig::Set##Name##Hotkey(WORD wModifier, WORD wVk) {   \
        m_w##Name##Modifier = wModifier;                               \
        m_w##Name##Vk = wVk;                                           \
    }

PELTO_HOTKEY_ACCESSORS(NewSnap)
PELTO_HOTKEY_ACCESSORS(FullScreen)
PELTO_HOTKEY_ACCESSORS(ActiveWin)
PELTO_HOTKEY_ACCESSORS(CurrentWin)
PELTO_HOTKEY_ACCESSORS(WinClient)
PELTO_HOTKEY_ACCESSORS(WinObj)
PELTO_HOTKEY_ACCESSORS(SelectRect)
PELTO_HOTKEY_ACCESSORS(ShowHide)

#undef PELTO_HOTKEY_ACCESSORS
