// The hot-key page of the options sheet: the eight global keys, each in a hot-key control. While
// the page exists it holds Print Screen itself, because the control cannot take that key typed.
#pragma once

#include "framework/HotKeyCtrl.h"
#include "framework/PropertySheet.h"

class CPeltoConfig;

// One key as the settings and the hot-key control both hold it: modifier in the control's form.
struct HotkeyPair {
    WORD wModifier;
    WORD wVk;
};

class COptionHotkey : public CPropertyPage {
public:
    static constexpr int kKeyCount = 8;

    COptionHotkey();

    // In the order of the page's controls: new capture, whole screen, active program window,
    // current window, client area, interface object, selected region, show/hide.
    void ReadFrom(CPeltoConfig& config);
    void WriteTo(CPeltoConfig& config) const;

    CHotKeyCtrl m_hotkeys[kKeyCount];
    HotkeyPair m_pairs[kKeyCount];

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnHotKey(UINT nHotKeyId, UINT nKey1, UINT nKey2);

    DECLARE_MESSAGE_MAP()
};
