// The main window's commands: captures, files, clipboard, effects and the help menu.
#include <windows.h>

#include <shellapi.h>

#include "framework/DataExchange.h"
#include "app/main/PeltoApp.h"
#include "app/main/PeltoDlg.h"
#include "app/main/ProgramActions.h"
#include "app/pin/PinWnd.h"
#include "app/res/resource.h"

namespace {
// The maker's home page, named by the help menu, the preview and the help button.
const wchar_t kHomePage[] = L"https://www.noramsoft.com";
}  // namespace

// ---- captures ----

void CPeltoDlg::RunCapture(int (CPeltoCore::*pfnSnap)()) {
    if ((m_core.*pfnSnap)()) DrawPreview(FALSE);
    m_nSnapType = m_core.m_config.GetSnapMode();
    UpdateData(FALSE);
}

void CPeltoDlg::RunCaptureForMode(int nMode) {
    static int (CPeltoCore::*const kModes[])() = {
        &CPeltoCore::SnapFullScreen, &CPeltoCore::SnapActiveWin, &CPeltoCore::SnapCurrentWin,
        &CPeltoCore::SnapWinClient,  &CPeltoCore::SnapWinObj,    &CPeltoCore::SnapSelectRect};
    if (nMode < 0 || nMode >= static_cast<int>(sizeof kModes / sizeof kModes[0])) return;
    RunCapture(kModes[nMode]);
}

void CPeltoDlg::OnNewSnap() {
    UpdateData(TRUE);
    RunCaptureForMode(m_nSnapType);
}

void CPeltoDlg::OnSnapFullScreen() { RunCapture(&CPeltoCore::SnapFullScreen); }
void CPeltoDlg::OnSnapActiveWin() { RunCapture(&CPeltoCore::SnapActiveWin); }
void CPeltoDlg::OnSnapCurrentWin() { RunCapture(&CPeltoCore::SnapCurrentWin); }
void CPeltoDlg::OnSnapWinClient() { RunCapture(&CPeltoCore::SnapWinClient); }
void CPeltoDlg::OnSnapWinObj() { RunCapture(&CPeltoCore::SnapWinObj); }
void CPeltoDlg::OnSnapSelectRect() { RunCapture(&CPeltoCore::SnapSelectRect); }

// ---- files and clipboard ----

void CPeltoDlg::OnFileOpen() {
    if (!m_core.OpenImage(CString())) return;
    // Opening resets the effect switches in the settings; show that.
    SyncEffectOptions(FALSE);
    RepaintWindow();
}

void CPeltoDlg::OnFileSave() {
    CString strPath = m_core.GetPathName();
    // The file's place may be gone or read-only, or its format one that no encoder writes: the
    // user picks another name rather than being left believing the picture was saved.
    if (!m_core.SaveImage(strPath, FALSE) && !strPath.IsEmpty() && m_core.GetImage())
        m_core.SaveImage(CString(), FALSE);
}
void CPeltoDlg::OnFileSaveAs() { m_core.SaveImage(CString(), FALSE); }
void CPeltoDlg::OnFileSaveThumb() { m_core.SaveImage(CString(), TRUE); }
void CPeltoDlg::OnEditCopy() { m_core.CopyImageData(FALSE); }
void CPeltoDlg::OnEditCopyThumb() { m_core.CopyImageData(TRUE); }

void CPeltoDlg::OnEditPaste() {
    if (m_core.PasteImageData()) RepaintWindow();
}

void CPeltoDlg::OnEditClear() {
    m_core.ClearGdiplusImage();
    RepaintWindow();
}

void CPeltoDlg::OnEditImage() {
    if (m_core.GetPathName().IsEmpty()) m_core.SaveImage(CString(), FALSE);
    EditImageCommand cmd = MakeEditImageCommand(m_core.m_config.GetEditAppPath().GetString(),
                                                m_core.GetPathName().GetString());
    if (cmd.file.empty()) return;
    ::ShellExecuteW(nullptr, L"open", cmd.file.c_str(),
                    cmd.parameters.empty() ? nullptr : cmd.parameters.c_str(),
                    cmd.folder.empty() ? nullptr : cmd.folder.c_str(), SW_SHOW);
}

void CPeltoDlg::OnEditPin() {
    if (!m_core.GetImage()) return;
    CPinWnd::Pin(m_core.CopyImageBitmap(), m_core.GetSnapOrigin());
}

void CPeltoDlg::OnUpdateNeedsImage(CCmdUI* pCmdUI) { pCmdUI->Enable(m_core.GetImage() != nullptr); }

// ---- effects ----

BOOL* CPeltoDlg::EffectMember(UINT nCommandID) {
    switch (nCommandID) {
        case ID_OPT_GRAYSCALE:
            return &m_bGrayScale;
        case ID_OPT_NEGATE:
            return &m_bNegate;
        case ID_OPT_FLIP_HORZ:
            return &m_bFlipHorz;
        case ID_OPT_FLIP_VERT:
            return &m_bFlipVert;
        case ID_OPT_ROTATE:
            return &m_bRotate;
        case ID_OPT_SCALE:
            return &m_bScale;
        case ID_OPT_SHEAR_ACROSS:
            return &m_bShearAcross;
        case ID_OPT_SHEAR_DOWN:
            return &m_bShearDown;
        case ID_OPT_BLUR:
            return &m_bBlur;
        case ID_OPT_SHARPEN:
            return &m_bSharpen;
    }
    return nullptr;
}

void CPeltoDlg::SyncEffectOptions(BOOL bSave) {
    CPeltoConfig& c = m_core.m_config;
    if (bSave) {
        UpdateData(TRUE);
        c.SetGrayScale(m_bGrayScale);
        c.SetNegate(m_bNegate);
        c.SetScale(m_bScale);
        c.SetRotate(m_bRotate);
        c.SetFlipHorz(m_bFlipHorz);
        c.SetFlipVert(m_bFlipVert);
        c.SetShearDown(m_bShearDown);
        c.SetShearAcross(m_bShearAcross);
        c.SetBlur(m_bBlur);
        c.SetSharpen(m_bSharpen);
        return;
    }
    m_bGrayScale = c.GetGrayScale();
    m_bNegate = c.GetNegate();
    m_bScale = c.GetScale();
    m_bRotate = c.GetRotate();
    m_bFlipHorz = c.GetFlipHorz();
    m_bFlipVert = c.GetFlipVert();
    m_bShearDown = c.GetShearDown();
    m_bShearAcross = c.GetShearAcross();
    m_bBlur = c.GetBlur();
    m_bSharpen = c.GetSharpen();
    UpdateData(FALSE);
}

void CPeltoDlg::ApplyEffectChange() {
    SyncEffectOptions(TRUE);
    m_core.RefreshImageData();
    RepaintWindow();
}

void CPeltoDlg::OnEffectCheckBox() { ApplyEffectChange(); }

void CPeltoDlg::OnEffectMenu(UINT nID) {
    BOOL* pMember = EffectMember(nID);
    if (!pMember) return;
    *pMember = !*pMember;
    UpdateData(FALSE);
    ApplyEffectChange();
}

void CPeltoDlg::OnAutoCopy() { m_core.m_config.SetAutoCopy(!m_core.m_config.GetAutoCopy()); }

// ---- command state ----

void CPeltoDlg::OnUpdateSnapMode(CCmdUI* pCmdUI) {
    static const UINT kIds[] = {ID_SNAP_FULLSCREEN, ID_SNAP_ACTIVE_WIN, ID_SNAP_CURRENT_WIN,
                                ID_SNAP_WIN_CLIENT, ID_SNAP_WIN_OBJ,    ID_SNAP_SELECT_RECT};
    int nMode = m_core.m_config.GetSnapMode();
    bool bOn = nMode >= 0 && nMode < 6 && kIds[nMode] == pCmdUI->m_nID;
    pCmdUI->SetRadio(bOn);
}

void CPeltoDlg::OnUpdateEffect(CCmdUI* pCmdUI) {
    BOOL* pMember = EffectMember(pCmdUI->m_nID);
    pCmdUI->SetCheck(pMember && *pMember ? 1 : 0);
}

void CPeltoDlg::OnUpdateAutoCopy(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_core.m_config.GetAutoCopy() ? 1 : 0);
}

// ---- window, options and help ----

void CPeltoDlg::ToggleVisibility() { ShowWindow(IsWindowVisible() ? SW_HIDE : SW_SHOW); }

void CPeltoDlg::OnShowHide() { ToggleVisibility(); }

void CPeltoDlg::OnSettings() { RunOptionsSheet(*this); }

void CPeltoDlg::OpenHomePage(BOOL bTrailingSlash, int nShowCmd) {
    CString url(kHomePage);
    if (bTrailingSlash) url += L"/";
    ::ShellExecuteW(nullptr, L"open", url, nullptr, L"", nShowCmd);
}

void CPeltoDlg::OnHomePage() { OpenHomePage(FALSE, SW_SHOWMAXIMIZED); }

void CPeltoDlg::OnCheckUpdate() {
    if (theApp.m_bHasUpdate)
        RunUpdateDialog();
    else
        AfxMessageBox(L"您使用的是最新版本！", MB_OK | MB_ICONEXCLAMATION);
}

void CPeltoDlg::OnHelpButton() {
    if (theApp.m_bHasUpdate)
        RunUpdateDialog();
    else
        OpenHomePage(TRUE, SW_SHOWMAXIMIZED);
}

void CPeltoDlg::OnAppAbout() { RunAboutBox(); }
