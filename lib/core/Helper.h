// Small helpers of the library that several components share.
#pragma once

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"

class PELTOLIB_API CHelper {
public:
    CHelper() {}
    ~CHelper() {}

    // The same as ::GetAppPath(), which the configuration below the engine uses too.
    static CString GetAppPath();
};
