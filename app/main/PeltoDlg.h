// The program's only top-level window: preview of the current image, capture-type selector, the
// ten effect switches and the command buttons, with the menu bar that reaches every command. It
// owns the capture engine (and through it the settings), the tray icon and the hot keys.
#pragma once

#include "app/main/PreviewToolTip.h"
#include "app/tray/TrayNotifyIcon.h"
#include "framework/CmdUI.h"
#include "framework/Dialog.h"
#include "framework/PrintDialog.h"
#include "lib/core/PeltoCore.h"

class CDC;

class CPeltoDlg : public CDialog {
public:
    explicit CPeltoDlg(CWnd* pParent = nullptr);
    ~CPeltoDlg() override;

    // bSave: controls -> members -> settings; otherwise settings -> members -> controls.
    void SyncEffectOptions(BOOL bSave);
    // Paints the preview into its control, or asks for a printer and prints it there.
    void DrawPreview(BOOL bPrint);
    // Draws the preview into any DC, inside rcTarget (the preview control's client rectangle).
    void DrawPreviewTo(CDC* pDC, const CRect& rcTarget);
    // Releases the eight hot keys and, unless bUnregisterOnly, registers them from the settings.
    void RegisterHotkeys(BOOL bUnregisterOnly);
    void RepaintWindow();

    BOOL PreTranslateMessage(MSG* pMsg) override;

    CPeltoCore& Core() { return m_core; }

    int m_nSnapType = 0;
    CWnd m_wndPreview;
    BOOL m_bGrayScale = 0;
    BOOL m_bNegate = 0;
    BOOL m_bScale = 0;
    BOOL m_bRotate = 0;
    BOOL m_bFlipHorz = 0;
    BOOL m_bFlipVert = 0;
    BOOL m_bShearDown = 0;
    BOOL m_bShearAcross = 0;
    BOOL m_bBlur = 0;
    BOOL m_bSharpen = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    // Window messages.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnDestroy();
    void OnHotKey(UINT nHotKeyId, UINT nKey1, UINT nKey2);
    LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);

    // Commands.
    void OnNewSnap();
    void OnSnapFullScreen();
    void OnSnapActiveWin();
    void OnSnapCurrentWin();
    void OnSnapWinClient();
    void OnSnapWinObj();
    void OnSnapSelectRect();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileSaveThumb();
    void OnFilePrint();
    void OnFilePageSetup();
    void OnEditCopy();
    void OnEditCopyThumb();
    void OnEditPaste();
    void OnEditImage();
    void OnEditClear();
    void OnEditPin();
    void OnEffectCheckBox();
    void OnEffectMenu(UINT nID);
    void OnAutoCopy();
    void OnSettings();
    void OnHomePage();
    void OnCheckUpdate();
    void OnHelpButton();
    void OnAppAbout();
    void OnShowHide();

    // Command state.
    void OnUpdateSnapMode(CCmdUI* pCmdUI);
    void OnUpdateEffect(CCmdUI* pCmdUI);
    void OnUpdateAutoCopy(CCmdUI* pCmdUI);
    void OnUpdateNeedsImage(CCmdUI* pCmdUI);

    HICON m_hIcon;
    HCURSOR m_hLinkCursor;
    HBITMAP m_hPlaceholder = nullptr;
    CTrayNotifyIcon m_trayIcon;
    CPreviewToolTip m_toolTip;
    CPeltoCore m_core;
    // The printer and paper chosen in page setup, offered again by the print dialog.
    CPrinterChoice m_printerChoice;

private:
    // Runs one capture operation and shows its result.
    void RunCapture(int (CPeltoCore::*pfnSnap)());
    void RunCaptureForMode(int nMode);
    // The member that mirrors one effect command, or null.
    BOOL* EffectMember(UINT nCommandID);
    void ApplyEffectChange();
    void ToggleVisibility();
    void OpenHomePage(BOOL bTrailingSlash, int nShowCmd);
    void PrintPreview();

    DECLARE_MESSAGE_MAP()
};
