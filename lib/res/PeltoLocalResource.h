// The library's own resource module and a scope that makes it current, so that the dialogs the
// library shows find their templates, bitmaps and cursors in the library.
#pragma once

#include <windows.h>

#include "lib/PeltoLibApi.h"

class PELTOLIB_API CPeltoLocalResource {
public:
    CPeltoLocalResource();
    ~CPeltoLocalResource();
    CPeltoLocalResource(const CPeltoLocalResource&) = delete;
    CPeltoLocalResource& operator=(const CPeltoLocalResource&) = delete;

private:
    HINSTANCE m_hPrevious;
};

// Keeps the library's resources in another module; null goes back to the library itself.
PELTOLIB_API void FsSetResourceHandle(HINSTANCE hInstance);
// The module the library's resources are taken from.
PELTOLIB_API HINSTANCE FsGetResourceHandle();
