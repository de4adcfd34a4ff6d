#include "lib/snap/DlgSnapRectHelper.h"

#include "lib/image/ClipboardAccess.h"
#include "lib/image/ScreenGrab.h"
#include "lib/image/SystemScreen.h"
#include "lib/res/PeltoLocalResource.h"
#include "lib/res/resource.h"

IMPLEMENT_DYNAMIC(CDlgSnapRectHelper, CDialog)

BEGIN_MESSAGE_MAP(CDlgSnapRectHelper, CDialog)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

namespace {
const COLORREF kInfoColour = RGB(147, 147, 147);
const int kInfoLines = 6;
}  // namespace

CDlgSnapRectHelper::CDlgSnapRectHelper(CWnd* pParent)
    : CDialog(IDD_SNAP_RECT_HELPER, pParent), m_tracker(this), m_bmpScreen(0x00FFFFFF) {
    CPeltoLocalResource scope;
    m_hCursor = ::LoadCursorW(FsGetResourceHandle(), MAKEINTRESOURCEW(IDC_SNAP_CROSS));
    if (!m_hCursor) m_hCursor = ::LoadCursorW(nullptr, IDC_CROSS);
    m_rgnUpdate.CreateRectRgn(0, 0, 50, 50);
    // The overlay covers the screen, so the screen's resolution sizes the font.
    m_fontInfo.CreatePointFont(90, L"宋体");
}

CDlgSnapRectHelper::~CDlgSnapRectHelper() { m_bmpScreen.DeleteObject(); }

void CDlgSnapRectHelper::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SNAP_RECT_TIP, m_editTip);
}

BOOL CDlgSnapRectHelper::GetSelectedRect(CRect& rcSelected) {
    rcSelected = m_rcSelected;
    return !m_rcSelected.IsRectEmpty();
}

BOOL CDlgSnapRectHelper::SnapFullScreen() {
    // The primary screen, which the overlay covers, wherever the desktop's device context starts.
    CRect rc = ScreenToDesktopDc(ToCRect(PrimaryScreen(GetSystemScreenMetrics())));
    std::unique_ptr<CImageBitmap> pShot = GrabScreenBitmap(::GetDesktopWindow(), rc);
    if (!pShot) return FALSE;
    m_bmpScreen.CopyImage(pShot.get());
    // The picture goes to the clipboard as well; from then on the clipboard owns the handle.
    if (pShot->GetSafeHandle() && OpenClipboardWithRetry(m_hWnd)) {
        ::EmptyClipboard();
        if (::SetClipboardData(CF_BITMAP, pShot->GetSafeHandle())) pShot->Detach();
        ::CloseClipboard();
    }
    return TRUE;
}

BOOL CDlgSnapRectHelper::OnInitDialog() {
    CDialog::OnInitDialog();
    SnapFullScreen();
    if (m_editTip.m_hWnd) m_editTip.SetSourceWnd(CSnapTipEdit::GetDesktopSource(), FALSE);
    m_nState = stateWaiting;
    m_rcSelected.SetRectEmpty();
    SetWindowPos(nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    m_tracker.m_nStyle = CRectTracker::solidLine | CRectTracker::resizeInside;
    m_tracker.m_rect.SetRect(-1, -1, -1, -1);
    if (m_editTip.m_hWnd) {
        m_editTip.MoveWindow(10, 10, 220, 253);
        DrawTipWindow();
        m_editTip.ShowWindow(SW_SHOW);
    }
    return TRUE;
}

void CDlgSnapRectHelper::OnOK() {
    CRect rc;
    m_tracker.GetTrueRect(&rc);
    ClientToScreen(&rc);
    m_rcSelected = rc;
    CDialog::OnOK();
}

void CDlgSnapRectHelper::OnCancel() {
    m_rcSelected.SetRectEmpty();
    CDialog::OnCancel();
}

BOOL CDlgSnapRectHelper::OnEraseBkgnd(CDC*) {
    // WM_PAINT draws the frozen picture with everything over it, in one pass.
    return TRUE;
}

BOOL CDlgSnapRectHelper::OnSetCursor(CWnd*, UINT, UINT) {
    ::SetCursor(m_hCursor);
    return TRUE;
}

void CDlgSnapRectHelper::OnPaint() {
    CPaintDC dc(this);
    CPoint pt;
    ::GetCursorPos(&pt);
    Draw(&dc, pt);
}

void CDlgSnapRectHelper::Draw(CDC* pDC, CPoint ptCursor) const {
    CRect rc;
    GetClientRect(&rc);
    if (!m_bmpScreen.GetSafeHandle()) {
        // Without a frozen picture the overlay still works, over a plain surface.
        pDC->FillSolidRect(rc, ::GetSysColor(COLOR_APPWORKSPACE));
    } else {
        CDC mem;
        if (mem.CreateCompatibleDC(pDC)) {
            CSelectObject sel(mem, m_bmpScreen);
            pDC->BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
        }
    }
    if (m_nState == stateDragging) {
        CRect rcTrue;
        m_tracker.GetTrueRect(&rcTrue);
        DrawInfoWindow(pDC, rcTrue, ptCursor);
    }
    if (m_nState != stateWaiting) m_tracker.Draw(pDC);
}

void CDlgSnapRectHelper::DrawTipWindow() {
    if (!m_editTip.m_hWnd) return;
    CPoint pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    COLORREF c;
    {
        CClientDC dc(this);
        c = dc.GetPixel(pt.x, pt.y);
    }
    CString text;
    text.Format(L"·像素RGB(%d,%d,%d)\r\n", GetRValue(c), GetGValue(c), GetBValue(c));
    switch (m_nState) {
        case stateWaiting:
            text += L"·按下鼠标左键选择截取范围\r\n·按ESC键放弃";
            break;
        case stateDragging:
            text += L"·松开鼠标左键确定截取范围\r\n·按ESC键放弃";
            break;
        case stateDone:
            text += L"·截取完成";
            break;
    }
    m_editTip.SetWindowText(text);
}

CRect CDlgSnapRectHelper::GetInfoBoxRect(CPoint pt, int nBoxWidth, int nLineHeight,
                                         int nScreenWidth) {
    CRect box(pt.x + 3, pt.y - kInfoLines * nLineHeight - 3, pt.x + 3 + nBoxWidth, pt.y - 3);
    if (pt.x + nBoxWidth >= nScreenWidth) {
        box.left = pt.x - nBoxWidth - 3;
        box.right = pt.x - 3;
    }
    if (pt.y - kInfoLines * nLineHeight <= 0) {
        box.top = pt.y + 3;
        box.bottom = pt.y + kInfoLines * nLineHeight + 3;
    }
    return box;
}

void CDlgSnapRectHelper::DrawInfoWindow(CDC* pDC, const CRect& rect, CPoint ptCursor) const {
    CPen pen(PS_SOLID, 1, kInfoColour);
    int saved = pDC->SaveDC();
    if (m_fontInfo.GetSafeHandle()) pDC->SelectObject(&m_fontInfo);
    pDC->SelectObject(&pen);
    pDC->SelectStockObject(NULL_BRUSH);
    pDC->SetTextColor(kInfoColour);
    pDC->SetBkMode(TRANSPARENT);

    TEXTMETRICW tm = {};
    ::GetTextMetricsW(pDC->m_hDC, &tm);
    int lh = tm.tmHeight + tm.tmExternalLeading;
    int w = pDC->GetTextExtent(L"顶点位置  ", 6).cx;
    // Placed in the overlay's own coordinates, against its own edges, wherever it lies on the
    // desktop.
    CPoint ptClient = ptCursor;
    ScreenToClient(&ptClient);
    CRect rcClient;
    GetClientRect(&rcClient);
    CRect box = GetInfoBoxRect(ptClient, w, lh, rcClient.Width());
    pDC->Rectangle(box);

    // The user reads screen coordinates in real pixels: those of the captured picture.
    CRect rcScreen = rect;
    ClientToScreen(&rcScreen);
    const ScreenScale scale = GetSystemScreenScale();
    ScreenPoint corner = ScalePointToPhysical(ToScreenPoint(rcScreen.TopLeft()), scale);
    ScreenPoint size = ScalePointToPhysical({rcScreen.Width(), rcScreen.Height()}, scale);
    ScreenPoint cursor = ScalePointToPhysical(ToScreenPoint(ptCursor), scale);
    CString lines[kInfoLines];
    lines[0] = L" 顶点位置 ";
    lines[1].Format(L" (%d,%d)", corner.x, corner.y);
    lines[2] = L" 矩形大小 ";
    lines[3].Format(L" (%d,%d)", size.x, size.y);
    lines[4] = L" 光标坐标 ";
    lines[5].Format(L" (%d,%d)", cursor.x, cursor.y);
    for (int k = 0; k < kInfoLines; ++k)
        pDC->TextOut(box.left, box.top + 2 + k * lh, lines[k], lines[k].GetLength());
    pDC->RestoreDC(saved);
}

void CDlgSnapRectHelper::PaintTipWindow() {
    CRect rcWnd, rcTip;
    GetWindowRect(&rcWnd);
    ScreenToClient(&rcWnd);
    m_rgnUpdate.DeleteObject();
    m_rgnUpdate.CreateRectRgnIndirect(rcWnd);
    if (m_editTip.m_hWnd && m_editTip.IsWindowVisible()) {
        m_editTip.GetWindowRect(&rcTip);
        ScreenToClient(&rcTip);
        CRgn tip;
        tip.CreateRectRgnIndirect(rcTip);
        m_rgnUpdate.CombineRgn(m_rgnUpdate.GetSafeHandle(), tip.GetSafeHandle(), RGN_DIFF);
    }
    InvalidateRgn(m_rgnUpdate.GetSafeHandle(), TRUE);
}

void CDlgSnapRectHelper::OnTrackChanged() {
    if (!m_hWnd) return;
    // The overlay draws the band itself when it repaints; the tip moves out of the way first.
    if (m_editTip.m_hWnd) m_editTip.FleeCursor();
    PaintTipWindow();
    DrawTipWindow();
}

void CDlgSnapRectHelper::OnLButtonDown(UINT nFlags, CPoint point) {
    m_nState = stateDragging;
    if (m_tracker.TrackRubberBand(this, point, TRUE)) {
        // The band's loop took the release itself.
        if (m_tracker.HitTest(point) != CRectTracker::hitNothing) FinishSelection();
        m_tracker.m_rect.NormalizeRect();
        Invalidate(FALSE);
        DrawTipWindow();
    } else {
        m_nState = stateWaiting;
        // Take away what was drawn of the band and tell the user to start again.
        PaintTipWindow();
        DrawTipWindow();
    }
    DefWindowProc(WM_LBUTTONDOWN, nFlags, MAKELPARAM(point.x, point.y));
}

void CDlgSnapRectHelper::FinishSelection() {
    if (m_nState == stateDragging) {
        m_nState = stateDone;
        OnOK();
    } else {
        m_nState = stateWaiting;
    }
    PaintTipWindow();
}

void CDlgSnapRectHelper::OnLButtonUp(UINT nFlags, CPoint point) {
    FinishSelection();
    DefWindowProc(WM_LBUTTONUP, nFlags, MAKELPARAM(point.x, point.y));
}

void CDlgSnapRectHelper::OnMouseMove(UINT nFlags, CPoint point) {
    DrawTipWindow();
    DefWindowProc(WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y));
}
