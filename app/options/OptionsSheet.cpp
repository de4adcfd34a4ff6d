// Command 32830 of the main window: the options sheet with everything around it.
#include "app/main/PeltoDlg.h"
#include "app/main/ProgramActions.h"
#include "app/options/OptionBasic.h"
#include "app/options/OptionHotkey.h"
#include "app/options/OptionImage.h"

void RunOptionsSheet(CPeltoDlg& dlg) {
    CPeltoConfig& config = dlg.Core().m_config;

    CPropertySheet sheet(L"参数设置", &dlg, 1);
    COptionBasic basic;
    COptionImage image;
    COptionHotkey hotkey;
    sheet.m_psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
    sheet.m_psh.dwFlags |= PSH_NOAPPLYNOW;
    for (CPropertyPage* pPage :
         {static_cast<CPropertyPage*>(&basic), static_cast<CPropertyPage*>(&image),
          static_cast<CPropertyPage*>(&hotkey)}) {
        pPage->m_psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
        sheet.AddPage(pPage);
    }

    basic.m_bPlaySnapSound = config.GetPlaySnapSound();
    basic.m_bHideMainWnd = config.GetHideMainWnd();
    basic.m_bSnapOnStart = config.GetSnapOnStart();
    basic.m_nSnapDelayTime = config.GetSnapDelayTime();
    basic.m_bKeepOnTop = config.GetKeepOnTop();
    image.m_strEditAppPath = config.GetEditAppPath();
    image.m_nRotateAngle = config.GetRotateAngle();
    image.m_nScaleFactor = config.GetScaleFactor();
    image.m_nShearAcrossAmout = config.GetShearAcrossAmout();
    image.m_nShearDownAmout = config.GetShearDownAmout();
    image.m_nBlurFactor = config.GetBlurFactor();
    image.m_nSharpenFactor = config.GetSharpenFactor();
    hotkey.ReadFrom(config);

    // The keys are free while the sheet runs: the user can type them into the controls, and the
    // hot-key page can hold Print Screen.
    dlg.RegisterHotkeys(TRUE);

    if (sheet.DoModal() == IDOK) {
        config.SetPlaySnapSound(basic.m_bPlaySnapSound);
        config.SetHideMainWnd(basic.m_bHideMainWnd);
        config.SetSnapOnStart(basic.m_bSnapOnStart);
        config.SetSnapDelayTime(basic.m_nSnapDelayTime);
        config.SetKeepOnTop(basic.m_bKeepOnTop);
        config.SetEditAppPath(image.m_strEditAppPath);
        config.SetRotateAngle(image.m_nRotateAngle);
        config.SetScaleFactor(image.m_nScaleFactor);
        config.SetShearAcrossAmout(image.m_nShearAcrossAmout);
        config.SetShearDownAmout(image.m_nShearDownAmout);
        config.SetBlurFactor(image.m_nBlurFactor);
        config.SetSharpenFactor(image.m_nSharpenFactor);
        hotkey.WriteTo(config);
        ::SetWindowPos(dlg.m_hWnd, config.GetKeepOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0,
                       0, SWP_NOMOVE | SWP_NOSIZE);
    }

    dlg.RegisterHotkeys(FALSE);
    // The effect amounts may have changed.
    dlg.Core().RefreshImageData();
    dlg.RepaintWindow();
}
