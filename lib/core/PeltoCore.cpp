// The engine object: start-up and shut-down, the capture step, the full-screen capture and the
// waits and sound that captures share.
#include "lib/core/PeltoCore.h"

#include <mmsystem.h>

#include "lib/codec/GdiplusHeaders.h"

#include "lib/codec/GdiplusSession.h"
#include "lib/core/CaptureScope.h"
#include "lib/core/Helper.h"
#include "lib/image/PixelBufferPool.h"
#include "lib/image/RowWorkers.h"
#include "lib/image/ScreenGrab.h"

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

IMPLEMENT_DYNAMIC(CPeltoCore, CWnd)

CPeltoCore::CPeltoCore()
    : m_gdiplusToken(0),
      m_pMainWnd(nullptr),
      m_pViewWnd(nullptr),
      m_nThubX(0),
      m_nThubY(0),
      m_bmpOriginal(0x00FFFFFF),
      m_bmpProcessed(0x00FFFFFF),
      m_bStarting(TRUE),
      m_bSnapping(FALSE),
      m_dlgSnapObj(nullptr),
      m_hFoundWnd(nullptr),
      m_bFinding(FALSE),
      m_nHeldButtons(0),
      m_pPickScope(nullptr),
      m_bProcessedShared(FALSE) {}

CPeltoCore::~CPeltoCore() {
    m_hook.StopHook();
    // A caller that skipped CloseSnapper would otherwise leak the images and leave GDI+ counted as
    // running; they must go while the engine's GDI+ still runs.
    if (m_gdiplusToken) {
        ClearGdiplusImage();
        TermGdiplus();
    }
    if (m_hWnd) DestroyWindow();
    // m_bmpOriginal deletes the bitmap the two holders share.
    if (m_bProcessedShared) m_bmpProcessed.Detach();
    // The effects' worker threads go with the engine that used them.
    pelto_image::StopRowWorkers();
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
    if (TakesStartupCapture()) SnapFullScreen();
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
    return GrabScreenBitmap(hWnd, rect).release();
}

int CPeltoCore::SnapRect(HWND hWnd, CRect rect) {
    if (!hWnd) return 0;
    CRect rcCopied(0, 0, 0, 0);
    std::unique_ptr<CImageBitmap> pBitmap = GrabScreenBitmap(hWnd, rect, &rcCopied);
    if (!pBitmap) return 0;
    if (!LoadPicture(pBitmap.get())) return 0;
    m_ptSnapOrigin = rcCopied.TopLeft();
    return 1;
}

int CPeltoCore::SnapFullScreen() {
    CCaptureScope scope(
        *this, m_bStarting ? CCaptureScope::kKeepMode : static_cast<int>(SNAPMODE_FULLSCREEN));
    if (!scope.IsOpen()) return 0;
    if (m_bStarting)
        SnapWait(kStartingDelay);
    else
        WaitSnapDelay();
    PlaySnapSound();
    return SnapRect(::GetDesktopWindow(), CRect(0, 0, 0, 0));
}

void CPeltoCore::WaitSnapDelay() { SnapWait(m_config.GetSnapDelayTime()); }

void CPeltoCore::SnapWait(DWORD nMilliseconds) { ::Sleep(nMilliseconds); }

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
