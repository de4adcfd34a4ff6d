// Where the running program lies: the configuration file and the capture sound sit beside it.
#pragma once

#include "framework/FxString.h"
#include "lib/PeltoLibApi.h"

// The folder of the running program's executable, ending in a backslash; empty when the platform
// cannot tell the path.
PELTOLIB_API CString GetAppPath();

// Whether a new file can be made in the folder (ending in a backslash): attributes and rights
// alike decide it, so only trying tells. The try leaves nothing behind.
PELTOLIB_API bool CanCreateFilesIn(const CString& strFolder);
