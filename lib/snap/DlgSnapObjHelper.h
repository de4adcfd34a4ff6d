// CDlgSnapObjHelper: the small always-on-top dialog of the object pick. It hosts the tip window,
// shows the cursor position with the instructions, and is moved out of the cursor's way by the
// capture engine, which reads and writes its corner flag and size.
#pragma once

#include "framework/Dialog.h"
#include "lib/PeltoLibApi.h"
#include "lib/snap/SnapTipEdit.h"

class PELTOLIB_API CDlgSnapObjHelper : public CDialog {
    DECLARE_DYNAMIC(CDlgSnapObjHelper)

public:
    explicit CDlgSnapObjHelper(CWnd* pParent = nullptr);
    ~CDlgSnapObjHelper() override;

    CSnapTipEdit m_editTip;
    BOOL m_bAtTopLeft = FALSE;  // corner on the screen: 0 bottom-right, 1 top-left
    int m_nWidth = 220;
    int m_nHeight = 216;
    BOOL m_bActivateTop = TRUE;  // the next mouse move hands the foreground to a program window

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Refreshes the coordinates and instructions of the tip.
    void DrawTipWindow();

    void OnMouseMove(UINT nFlags, CPoint point);
    void OnDestroy();

    DECLARE_MESSAGE_MAP()
};
