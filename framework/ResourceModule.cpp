#include "framework/ResourceModule.h"

namespace {
HINSTANCE g_hResource = nullptr;
}

HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleW(nullptr); }

HINSTANCE AfxGetResourceHandle() { return g_hResource ? g_hResource : AfxGetInstanceHandle(); }

void AfxSetResourceHandle(HINSTANCE hInstance) { g_hResource = hInstance; }

CFxResourceScope::CFxResourceScope(HINSTANCE hInstance) : m_hPrevious(AfxGetResourceHandle()) {
    AfxSetResourceHandle(hInstance);
}

CFxResourceScope::~CFxResourceScope() { AfxSetResourceHandle(m_hPrevious); }
