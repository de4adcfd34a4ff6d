#include "lib/codec/GdiplusSession.h"

#include "lib/codec/GdiplusHeaders.h"

#include <atomic>

namespace {
std::atomic<int> g_nSessions{0};
}

CGdiplusSession::CGdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok) {
        m_bStarted = TRUE;
        ++g_nSessions;
    }
}

CGdiplusSession::~CGdiplusSession() {
    if (!m_bStarted) return;
    --g_nSessions;
    Gdiplus::GdiplusShutdown(m_token);
}

BOOL CGdiplusSession::Start(ULONG_PTR* pToken) {
    if (!pToken) return FALSE;
    *pToken = 0;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok || token == 0) return FALSE;
    ++g_nSessions;
    *pToken = token;
    return TRUE;
}

void CGdiplusSession::Stop(ULONG_PTR* pToken) {
    if (!pToken || *pToken == 0) return;
    --g_nSessions;
    Gdiplus::GdiplusShutdown(*pToken);
    *pToken = 0;
}

BOOL CGdiplusSession::IsRunning() { return g_nSessions.load() > 0; }

BOOL IsGdiplusReady() {
    if (!CGdiplusSession::IsRunning()) return FALSE;
    // Where GDI+ does keep track of its start, it is the authority.
    Gdiplus::GpBitmap* pProbe = nullptr;
    Gdiplus::GpStatus status = Gdiplus::DllExports::GdipCreateBitmapFromScan0(
        1, 1, 0, PixelFormat32bppARGB, nullptr, &pProbe);
    if (pProbe) Gdiplus::DllExports::GdipDisposeImage(pProbe);
    return status != Gdiplus::GdiplusNotInitialized;
}
