// CPeltoCore: the capture engine. It performs every capture, owns the current picture (as taken,
// after the effect chain, and as a GDI+ image with its thumbnail), and moves it to and from the
// clipboard and image files. It lives as an invisible child of the main window, which receives the
// pick timer and the mouse messages of the hook.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/FxString.h"
#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/Wnd.h"
#include "hook/FsHook.h"
#include "lib/PeltoLibApi.h"
#include "lib/config/PeltoConfig.h"
#include "lib/image/ImageBitmap.h"
#include "lib/image/PixelBufferPool.h"
#include "lib/res/PeltoLocalResource.h"
#include "lib/snap/DlgSnapObjHelper.h"

namespace Gdiplus {
class Image;
}

#define IDT_FINDWINDOW 1

class PELTOLIB_API CPeltoCore : public CWnd {
    DECLARE_DYNAMIC(CPeltoCore)

public:
    CPeltoCore();
    virtual ~CPeltoCore();

    // Starts GDI+ for the engine and loads the settings; then, with both windows given, creates
    // the engine window under pMainWnd and takes the start-up capture when it is configured.
    int InitSnapper(CWnd* pMainWnd, CWnd* pViewWnd);
    // Releases the image, stops the engine's GDI+, saves the settings and destroys the window.
    void CloseSnapper();

    // The capture operations: 1 when a picture was captured (the object pick: when it ran).
    int SnapFullScreen();
    int SnapActiveWin();
    int SnapCurrentWin();
    int SnapWinClient();
    int SnapWinObj();
    int SnapSelectRect();

    // A copy of the screen inside rect (in the window-DC coordinates of hWnd; an empty rect means
    // the whole window) clipped to the primary screen. The caller deletes it. Null for a null
    // window, an area empty after clipping, or when the platform cannot make the bitmap. The
    // library itself calls GrabScreenBitmap (lib/image/ScreenGrab.h), which owns its result.
    static CImageBitmap* SnapBitmap(HWND hWnd, CRect rect);

    // The current image and its thumbnail; the engine keeps owning both. Either may be null.
    Gdiplus::Image* GetImage() const { return m_pImage.get(); }
    Gdiplus::Image* GetThubImage(int& x, int& y) const {
        x = m_nThubX;
        y = m_nThubY;
        return m_pThubImage.get();
    }
    // Runs the configured effects over the picture as taken and rebuilds image and thumbnail.
    void RefreshImageData();
    // Releases image and thumbnail and forgets the file names; the bitmaps stay.
    void ClearGdiplusImage();

    // Clipboard: which = 0 the image, else the thumbnail. 1 done, 0 nothing to copy or paste.
    int CopyImageData(int which);
    int PasteImageData();
    // Files: an empty path asks with a dialog. 1 done, 0 cancelled or failed.
    int OpenImage(CString strPath);
    int SaveImage(CString strPath, int which);

    const CString GetPathName() const { return m_strPathName; }
    const CString GetFileName() const { return m_strFileName; }
    // Where on the screen the picture as taken lay (its top-left pixel); (0, 0) for a picture
    // that was opened or pasted.
    CPoint GetSnapOrigin() const { return m_ptSnapOrigin; }
    // A device bitmap of the current image at its own size, which the caller owns; null when no
    // image is held.
    HBITMAP CopyImageBitmap() const;
    void SetPathName(CString strPathName) { m_strPathName = strPathName; }
    void SetFileName(CString strFileName) { m_strFileName = strFileName; }

    CPeltoConfig m_config;

protected:
    int SnapRect(HWND hWnd, CRect rect);
    void PlaySnapSound();
    // Every blocking wait of a capture goes through here, so that a test can see which waits a
    // capture makes without timing it.
    virtual void SnapWait(DWORD nMilliseconds);
    // Whether InitSnapper takes the start-up capture: as the settings say, unless a caller that
    // never shows its main window (and captures only what it is asked for) says otherwise.
    virtual BOOL TakesStartupCapture() { return m_config.GetSnapOnStart() ? TRUE : FALSE; }
    int InitGdiplus();
    void TermGdiplus();

    void ResetBitmapData(HBITMAP hBitmap);
    Gdiplus::Image* ConvertImage(HBITMAP hBitmap);
    CBitmap* ConvertImage(const Gdiplus::Image* pImage);
    void SetThubImage(const Gdiplus::Image* pImage);

    LRESULT HighlightFoundWindow(HWND hWnd);
    LRESULT RefreshFoundWindow(HWND hWnd);
    BOOL CheckWindowValidity(HWND hWnd, int bExcludeFound);
    void LocateSnapObjTip();

    void OnTimer(UINT_PTR nIDEvent);
    LRESULT OnEsMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnEsLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnEsRButtonDown(WPARAM wParam, LPARAM lParam);

    ULONG_PTR m_gdiplusToken;
    CString m_strPathName;
    CString m_strFileName;
    CWnd* m_pMainWnd;
    CWnd* m_pViewWnd;
    // The 24-bit pixels that m_pImage draws from: it wraps them instead of copying them. Handed
    // back to the pixel buffer pool once the image is gone.
    PixelBuffer m_imageBits;
    std::unique_ptr<Gdiplus::Image> m_pImage;
    std::unique_ptr<Gdiplus::Image> m_pThubImage;
    int m_nThubX;
    int m_nThubY;
    CPoint m_ptSnapOrigin;
    CImageBitmap m_bmpOriginal;
    CImageBitmap m_bmpProcessed;
    BOOL m_bStarting;
    BOOL m_bSnapping;
    CFsHook m_hook;
    CDlgSnapObjHelper m_dlgSnapObj;
    HWND m_hFoundWnd;
    BOOL m_bFinding;
    // The mouse buttons held at the pick's last tick (bit 0 left, bit 1 right).
    UINT m_nHeldButtons;

private:
    // One capture from its start to its epilogue (lib/core/CaptureScope.h).
    class CCaptureScope;

    void WaitSnapDelay();
    // Lets what lay under one of the engine's dialogs be drawn again before the live screen is
    // read.
    void LetScreenRepaint();
    // Runs the chooser of program windows with the library's resources; null when cancelled.
    HWND ChooseProgramWindow();
    // Runs the region overlay with the library's resources; FALSE when nothing was selected.
    BOOL SelectScreenRegion(CRect& rcSelected);
    // The conversions behind ConvertImage, for the library's own use.
    static std::unique_ptr<Gdiplus::Image> ImageFromBitmap(HBITMAP hBitmap);
    std::unique_ptr<CBitmap> BitmapFromImage(const Gdiplus::Image* pImage) const;
    // Puts hBitmap on the clipboard with the preview control as owner; the clipboard then owns it.
    BOOL PutBitmapOnClipboard(CBitmap* pBitmap);
    // Makes hSource the picture as taken and rebuilds everything from it; with a null source the
    // current picture as taken is used again. On failure nothing of the engine changes.
    // pTaken's bitmap becomes the picture as taken and everything is rebuilt from it; with null
    // the current picture as taken is used again. On failure nothing of the engine changes and
    // pTaken keeps its bitmap.
    BOOL LoadPicture(CImageBitmap* pTaken);
    // The new bitmaps of both holders, each taken from its argument; a null pOriginal keeps the
    // picture as taken, a null pProcessed makes the processed picture the one taken itself.
    void TakeBitmaps(CImageBitmap* pOriginal, CImageBitmap* pProcessed);
    // The two bitmaps the effects start from, each a copy of hBitmap; false when either cannot
    // be made (too large, out of memory).
    static bool CopyBitmapPair(HBITMAP hBitmap, CImageBitmap* pOriginal, CImageBitmap* pProcessed);
    // The thumbnail's size and place for an image of sizeImage in the preview; FALSE when the
    // preview leaves no room.
    BOOL ThumbnailLayout(CSize sizeImage, int* pWidth, int* pHeight, int* pX, int* pY) const;
    // Ends a running object pick; captures the highlighted window when bCapture is set.
    void EndWinObjPick(BOOL bCapture);
    // At the pick's tick: ends the pick when a button went down that the hook did not report.
    BOOL EndPickOnMissedClick();
    void RepaintWindowUnder(HWND hWnd);
    BOOL HasTipWindow() const;

    // The scope of the running object pick: the pick ends in a message handler, which closes it.
    CCaptureScope* m_pPickScope;
    // Set while m_bmpProcessed holds m_bmpOriginal's own bitmap: no effect changed the picture.
    BOOL m_bProcessedShared;
    // The processed bitmap last let go, which the next run of the effects writes into when the
    // sizes agree.
    CImageBitmap m_bmpSpare;

    DECLARE_MESSAGE_MAP()
};
