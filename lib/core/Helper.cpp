#include "lib/core/Helper.h"

#include "lib/config/AppPath.h"

CString CHelper::GetAppPath() { return ::GetAppPath(); }
