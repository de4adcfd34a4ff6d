// Copies of what the screen shows, taken for the engine's captures and for the pick windows'
// frozen backgrounds alike.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/Geometry.h"
#include "lib/PeltoLibApi.h"
#include "lib/image/ImageBitmap.h"

// A copy of the screen inside rect (in the window-DC coordinates of hWnd; an empty rect means the
// whole window as the user sees it, without an invisible resize border round it), cut to the part
// that lies on the primary screen: the picture's first pixel is the visible part's top-left corner,
// wherever the window itself starts. That part, in screen coordinates, goes to *pScreenArea when
// given. The window is raised to topmost for the copy and keeps its own topmost state afterwards; a
// window whose thread does not answer within about a second is copied where it is, and its z-order
// changes wait in its queue. Null for a null or gone window, an area empty after clipping, or when
// the platform cannot make the bitmap.
PELTOLIB_API std::unique_ptr<CImageBitmap> GrabScreenBitmap(HWND hWnd, CRect rect,
                                                            CRect* pScreenArea = nullptr);
