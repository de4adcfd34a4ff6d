// The engine object: start-up and shut-down, the screen-to-bitmap primitive, the capture step,
// the full-screen capture and the closing steps every capture shares.
#include "lib/core/PeltoCore.h"

#include <mmsystem.h>

#include "lib/codec/GdiplusHeaders.h"

#include "lib/codec/GdiplusSession.h"
#include "lib/core/Helper.h"
#include "lib/image/PixelBufferPool.h"

namespace {
const UINT kEngineWindowId = 100;
const DWORD kStartingDelay = 50;
}  // namespace

BEGIN_MESSAGE_MAP(CPeltoCore, CWnd)
ON_WM_TIMER()
ON_MESSAGE(WM_ES_LBUTTONDOWN, OnEsLButtonDown)
ON_MESSAGE(WM_ES_MOUSEMOVE, OnEsMouseMove)
ON_MESSAGE(WM_ES_RBUTTONDOWN, OnEsRButtonDown)
END_MESSAGE_MAP()

CPeltoCore::CPeltoCore()
    : m_gdiplusToken(0),
      m_pMainWnd(nullptr),
      m_pViewWnd(nullptr),
      m_pImage(nullptr),
      m_pThubImage(nullptr),
      m_nThubX(0),
      m_nThubY(0),
      m_bmpOriginal(0x00FFFFFF),
      m_bmpProcessed(0x00FFFFFF),
      m_bStarting(TRUE),
      m_bSnapping(FALSE),
      m_dlgSnapObj(nullptr),
      m_hFoundWnd(nullptr),
      m_bFinding(FALSE) {}

CPeltoCore::~CPeltoCore() {
    m_hook.StopHook();
    // A caller that skipped CloseSnapper would otherwise leak the images and leave GDI+ counted as
    // running; they must go while the engine's GDI+ still runs.
    if (m_gdiplusToken) {
        ClearGdiplusImage();
        TermGdiplus();
    }
    if (m_hWnd) DestroyWindow();
}

int CPeltoCore::InitGdiplus() {
    if (m_gdiplusToken) return 1;
    return CGdiplusSession::Start(&m_gdiplusToken) ? 1 : 0;
}

void CPeltoCore::TermGdiplus() { CGdiplusSession::Stop(&m_gdiplusToken); }

int CPeltoCore::InitSnapper(CWnd* pMainWnd, CWnd* pViewWnd) {
    InitGdiplus();
    m_config.LoadConfig();
    if (!pMainWnd || !pViewWnd) return 0;
    m_pViewWnd = pViewWnd;
    m_pMainWnd = pMainWnd;
    CRect rcEmpty(0, 0, 0, 0);
    BOOL bCreated = m_hWnd ? TRUE : Create(nullptr, L"", 0, rcEmpty, pMainWnd, kEngineWindowId);
    if (m_config.GetSnapOnStart()) SnapFullScreen();
    m_bStarting = FALSE;
    return bCreated ? 1 : 0;
}

void CPeltoCore::CloseSnapper() {
    if (m_bFinding) EndWinObjPick(FALSE);
    ClearGdiplusImage();
    // The buffers kept for the next effect run go with the images.
    ClearPixelBufferPool();
    TermGdiplus();
    m_config.SaveConfig();
    if (IsWindow()) DestroyWindow();
}

CImageBitmap* CPeltoCore::SnapBitmap(HWND hWnd, CRect rect) {
    if (!hWnd || !::IsWindow(hWnd)) return nullptr;
    BOOL bWholeWindow = FALSE;
    // Compared, not subtracted: a far-off rectangle would overflow the width.
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        if (!::GetWindowRect(hWnd, &rect)) return nullptr;
        bWholeWindow = TRUE;
    }
    rect.right = min(rect.right, static_cast<LONG>(::GetSystemMetrics(SM_CXSCREEN)));
    rect.bottom = min(rect.bottom, static_cast<LONG>(::GetSystemMetrics(SM_CYSCREEN)));
    rect.left = max(rect.left, 0L);
    rect.top = max(rect.top, 0L);
    int nWidth = rect.right - rect.left;
    int nHeight = rect.bottom - rect.top;
    if (nWidth <= 0 || nHeight <= 0) return nullptr;

    const UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE;
    ::SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);

    CImageBitmap* pBitmap = new (std::nothrow) CImageBitmap(0x00FFFFFF);
    if (pBitmap) {
        HDC hWindowDC = ::GetWindowDC(hWnd);
        CDC dcMemory;
        if (hWindowDC && dcMemory.CreateCompatibleDC(hWindowDC) &&
            pBitmap->CreateCompatibleBitmap(hWindowDC, nWidth, nHeight)) {
            CSelectObject select(dcMemory, *pBitmap);
            int xSource = bWholeWindow ? 0 : rect.left;
            int ySource = bWholeWindow ? 0 : rect.top;
            ::BitBlt(dcMemory.m_hDC, 0, 0, nWidth, nHeight, hWindowDC, xSource, ySource, SRCCOPY);
        }
        if (hWindowDC) ::ReleaseDC(hWnd, hWindowDC);
        // A bitmap the platform could not make (the area is too large for the memory left) is no
        // capture: handing out an empty holder would read as success to the caller.
        if (!pBitmap->GetSafeHandle()) {
            delete pBitmap;
            pBitmap = nullptr;
        }
    }

    ::SetWindowPos(hWnd, HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
    return pBitmap;
}

int CPeltoCore::SnapRect(HWND hWnd, CRect rect) {
    if (!hWnd) return 0;
    CImageBitmap* pBitmap = SnapBitmap(hWnd, rect);
    if (!pBitmap) return 0;
    BOOL bLoaded = LoadPicture(pBitmap->GetSafeHandle());
    pBitmap->DeleteObject();
    delete pBitmap;
    return bLoaded ? 1 : 0;
}

int CPeltoCore::SnapFullScreen() {
    if (m_bSnapping) return 0;
    m_bSnapping = TRUE;
    HideMainWindow();
    if (m_bStarting) {
        ::Sleep(kStartingDelay);
    } else {
        WaitSnapDelay();
        m_config.SetSnapMode(SNAPMODE_FULLSCREEN);
    }
    PlaySnapSound();
    int nResult = SnapRect(::GetDesktopWindow(), CRect(0, 0, 0, 0));
    return FinishSnap(nResult, TRUE);
}

int CPeltoCore::FinishSnap(int nResult, BOOL bClearBusy) {
    ShowMainWindow();
    m_strPathName = L"";
    m_strFileName = L"";
    if (m_config.GetAutoCopy()) CopyImageData(0);
    if (bClearBusy) m_bSnapping = FALSE;
    return nResult;
}

void CPeltoCore::HideMainWindow() {
    if (m_config.GetHideMainWnd() && m_pMainWnd) m_pMainWnd->ShowWindow(SW_HIDE);
}

void CPeltoCore::ShowMainWindow() {
    if (m_config.GetHideMainWnd() && m_pMainWnd) m_pMainWnd->ShowWindow(SW_SHOWNORMAL);
}

void CPeltoCore::WaitSnapDelay() { ::Sleep(m_config.GetSnapDelayTime()); }

void CPeltoCore::LetScreenRepaint() {
    // A dialog that has just gone leaves its last picture on the screen until the windows it
    // covered have painted again. Windows of this thread paint only when their paint messages are
    // dispatched here (and Wine hands their surfaces to the display only while the thread looks at
    // its queue); windows of other programs need a moment on their own threads.
    const DWORD kRepaintTime = 100;
    DWORD nStart = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
            ::DispatchMessageW(&msg);
        ::Sleep(10);
    } while (::GetTickCount() - nStart < kRepaintTime);
}

void CPeltoCore::PlaySnapSound() {
    if (!m_config.GetPlaySnapSound() || m_bStarting) return;
    CString strPath = CHelper::GetAppPath() + L"snap.wav";
    ::PlaySoundW(strPath, nullptr, SND_ASYNC | SND_FILENAME);
}
