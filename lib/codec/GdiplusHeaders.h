// <gdiplus.h> with what it needs around it. Its headers call bare min and max, which the build
// keeps out of windows.h (NOMINMAX); the standard ones stand in.
#pragma once

#include <windows.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>
