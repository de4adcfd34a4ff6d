#include "lib/res/PeltoLocalResource.h"

#include "framework/ResourceModule.h"

namespace {
HINSTANCE g_hResource = nullptr;  // null: the library's own module

HINSTANCE LibraryModule() {
    HMODULE hModule = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&LibraryModule), &hModule);
    return hModule;
}
}  // namespace

void FsSetResourceHandle(HINSTANCE hInstance) { g_hResource = hInstance; }

HINSTANCE FsGetResourceHandle() { return g_hResource ? g_hResource : LibraryModule(); }

CPeltoLocalResource::CPeltoLocalResource() : m_hPrevious(AfxGetResourceHandle()) {
    AfxSetResourceHandle(FsGetResourceHandle());
}

CPeltoLocalResource::~CPeltoLocalResource() { AfxSetResourceHandle(m_hPrevious); }
