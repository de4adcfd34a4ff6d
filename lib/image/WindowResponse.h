// Calls on windows of other threads that a capture makes (raising a window, repainting it) and
// that would otherwise wait as long as that thread does not look at its messages: a program that
// hangs must not hang the capture with it.
#pragma once

#include <windows.h>

#include "lib/PeltoLibApi.h"

// How long a capture waits for another thread's window to show that it still answers.
const UINT kWindowAnswerTimeout = 1000;

// True when the window's thread takes a message within nTimeout ms (at once for a thread the
// system already knows to hang); a window of the calling thread always answers. False for a
// gone window.
PELTOLIB_API BOOL IsWindowAnswering(HWND hWnd, UINT nTimeout = kWindowAnswerTimeout);

// Puts the window at hWndInsertAfter in the z-order without moving or sizing it. For a window
// that does not answer the change is left queued for its thread instead of waited for.
PELTOLIB_API void SetWindowZOrder(HWND hWnd, HWND hWndInsertAfter, BOOL bAnswering);

// Repaints the window with its frame and children at once when it answers within nTimeout ms;
// one that does not is only marked to repaint when its thread wakes.
PELTOLIB_API void RepaintWindowNow(HWND hWnd, UINT nTimeout = kWindowAnswerTimeout);
