// The preview: the engine's thumbnail (or the placeholder picture) drawn into the preview control,
// or onto a printed page at the same pixel size.
#include <windows.h>

#include "lib/codec/GdiplusHeaders.h"

#include "app/main/PeltoDlg.h"
#include "framework/Gdi.h"

namespace {
constexpr DWORD kPrintFlags =
    PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION;
}  // namespace

void CPeltoDlg::DrawPreviewTo(CDC* pDC, const CRect& rcTarget) {
    if (!pDC || !pDC->GetSafeHdc()) return;
    if (m_core.GetImage()) {
        Gdiplus::Graphics graphics(pDC->GetSafeHdc());
        if (graphics.GetLastStatus() != Gdiplus::Ok) return;
        // Device pixels on a printer too, as the placeholder is drawn (GDI+ would otherwise
        // measure a printer's page in hundredths of an inch).
        graphics.SetPageUnit(Gdiplus::UnitPixel);
        int x = 0;
        int y = 0;
        Gdiplus::Image* pThumb = m_core.GetThubImage(x, y);
        if (!pThumb) return;
        // One pixel in from every side keeps the control's black frame visible.
        CRect rcInside = rcTarget;
        rcInside.DeflateRect(1, 1);
        Gdiplus::SolidBrush white(Gdiplus::Color(0xFFFFFFFF));
        graphics.FillRectangle(&white, static_cast<INT>(rcInside.left),
                               static_cast<INT>(rcInside.top), static_cast<INT>(rcInside.Width()),
                               static_cast<INT>(rcInside.Height()));
        graphics.DrawImage(pThumb, x, y, static_cast<INT>(pThumb->GetWidth()),
                           static_cast<INT>(pThumb->GetHeight()));
        return;
    }
    if (!m_hPlaceholder) return;
    CDC memDC;
    if (!memDC.CreateCompatibleDC(pDC)) return;
    HGDIOBJ hOld = memDC.SelectObject(m_hPlaceholder);
    ::StretchBlt(pDC->GetSafeHdc(), 0, 0, rcTarget.Width() + 1, rcTarget.Height() + 1,
                 memDC.GetSafeHdc(), 0, 0, 450, 320, SRCCOPY);
    memDC.SelectObject(hOld);
}

void CPeltoDlg::DrawPreview(BOOL bPrint) {
    if (!m_wndPreview.m_hWnd) return;
    CRect rcTarget;
    m_wndPreview.GetClientRect(&rcTarget);
    if (!bPrint) {
        CClientDC dc(&m_wndPreview);
        DrawPreviewTo(&dc, rcTarget);
        return;
    }
    CPrintDialog dlg(FALSE, kPrintFlags, nullptr, &m_printerChoice);
    if (dlg.DoModal() != IDOK) return;
    // The dialog keeps owning the printer DC and deletes it when it goes.
    CDC printerDC;
    if (!printerDC.Attach(dlg.m_pd.hDC)) return;
    DOCINFOW di = {};
    di.cbSize = sizeof di;
    di.lpszDocName = L"Snapper";
    if (::StartDocW(printerDC.GetSafeHdc(), &di) <= 0) return;
    ::StartPage(printerDC.GetSafeHdc());
    DrawPreviewTo(&printerDC, rcTarget);
    ::EndPage(printerDC.GetSafeHdc());
    ::EndDoc(printerDC.GetSafeHdc());
}

void CPeltoDlg::OnFilePrint() { DrawPreview(TRUE); }

void CPeltoDlg::OnFilePageSetup() {
    // The choice is kept for the print dialog of this run of the program.
    CPrintDialog dlg(TRUE, kPrintFlags, nullptr, &m_printerChoice);
    dlg.DoModal();
}
