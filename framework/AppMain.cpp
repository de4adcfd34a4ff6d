// The program's entry point. Built as an object library and linked into the executable itself,
// because the runtime's start-up code looks for it there.
#include "framework/App.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
