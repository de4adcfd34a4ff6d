// Copies of what the screen shows, taken for the engine's captures and for the pick windows'
// frozen backgrounds alike.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/Geometry.h"
#include "lib/image/ImageBitmap.h"

// A copy of the screen inside rect (in the window-DC coordinates of hWnd; an empty rect means the
// whole window) clipped to the primary screen. The window is raised to topmost for the copy and
// is not topmost afterwards. Null for a null or gone window, an area empty after clipping, or
// when the platform cannot make the bitmap.
std::unique_ptr<CImageBitmap> GrabScreenBitmap(HWND hWnd, CRect rect);
