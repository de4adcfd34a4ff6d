pelto_win_test(app_pin_tests DESKTOP
  SOURCES
    PinTests.cpp
    ../../lib/core/CoreTestSupport.cpp
    ../../../app/pin/PinWnd.cpp
  LINK "PeltoLib;gdiplus;ole32")
