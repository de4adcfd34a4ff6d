if(WIN32)
  # The other program of the clipboard tests.
  add_executable(core_clipboard_helper ${CMAKE_CURRENT_LIST_DIR}/ClipboardHelper.cpp)
  pelto_warnings(core_clipboard_helper)
  # The capture path timed on whatever screen the display has; run by hand, prints its figures.
  add_executable(core_capture_bench ${CMAKE_CURRENT_LIST_DIR}/CaptureBench.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/CoreTestSupport.cpp
                 ${CMAKE_SOURCE_DIR}/tests/support/TestPump.cpp)
  pelto_warnings(core_capture_bench)
  target_link_libraries(core_capture_bench PRIVATE PeltoLib PeltoFx gdiplus ole32)
endif()

pelto_win_test(core_tests DESKTOP
  SOURCES
    CoreTestSupport.cpp
    SnapBitmapTests.cpp
    EffectChainTests.cpp
    TransferTests.cpp
    CaptureModeTests.cpp
    DialogTransferTests.cpp
    ../codec/FileDialogDriver.cpp
  LINK "PeltoLib;Hook;gdiplus;ole32")
if(TARGET core_tests)
  add_dependencies(core_tests core_clipboard_helper)
endif()
