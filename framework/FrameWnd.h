// A top-level window object that lives on the heap and deletes itself once its window is gone,
// so that its owner only has to close the window.
#pragma once

#include "framework/Wnd.h"

class CFrameWnd : public CWnd {
public:
    BOOL Create(LPCWSTR lpszTitle, DWORD dwStyle = WS_OVERLAPPEDWINDOW) {
        return CreateEx(0, nullptr, lpszTitle, dwStyle, RECT{0, 0, 0, 0}, nullptr, 0);
    }

protected:
    void PostNcDestroy() override { delete this; }
};
