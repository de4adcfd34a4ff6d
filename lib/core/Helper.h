// Small helpers of the library that several components share.
#pragma once

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"

class PELTOLIB_API CHelper {
public:
    CHelper() {}
    ~CHelper() {}

    // The folder of the running program's executable, ending in a backslash; empty when the
    // platform cannot tell the path.
    static CString GetAppPath();
};
