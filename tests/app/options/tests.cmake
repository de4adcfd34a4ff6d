# The options sheet run from the main window, built like the main window's tests.
get_property(pelto_app_sources GLOBAL PROPERTY PELTO_APP_SOURCES)
list(FILTER pelto_app_sources EXCLUDE REGEX "pelto\\.rc$")
pelto_win_test(app_options_tests DESKTOP
  SOURCES
    OptionsSheetTests.cpp
    ../main/AppTestSupport.cpp
    ../../lib/core/CoreTestSupport.cpp
    ../../../app/res/PeltoUi.rc
    ${pelto_app_sources}
  LINK "PeltoLib;gdiplus;ole32;comctl32;shell32;urlmon;winmm;version;comdlg32;oleaut32;uuid")
