if(WIN32)
  # The other program of the clipboard tests.
  add_executable(core_clipboard_helper ${CMAKE_CURRENT_LIST_DIR}/ClipboardHelper.cpp)
  pelto_warnings(core_clipboard_helper)
endif()

pelto_win_test(core_tests DESKTOP
  SOURCES
    CoreTestSupport.cpp
    SnapBitmapTests.cpp
    EffectChainTests.cpp
    TransferTests.cpp
    CaptureModeTests.cpp
    HungWindowTests.cpp
    DialogTransferTests.cpp
    ../codec/FileDialogDriver.cpp
  LINK "PeltoLib;Hook;gdiplus;ole32")
if(TARGET core_tests)
  add_dependencies(core_tests core_clipboard_helper)
endif()
