# The program's windows, built into a test program together with the program's own sources and
# resources (all but the entry point and the manifest).
get_property(pelto_app_sources GLOBAL PROPERTY PELTO_APP_SOURCES)
list(FILTER pelto_app_sources EXCLUDE REGEX "pelto\\.rc$")
pelto_native_test(app_command_line_tests
  SOURCES CommandLineTests.cpp ../../../app/main/CommandLine.cpp
          DpiAwarenessTests.cpp ../../../app/main/DpiAwareness.cpp)
pelto_win_test(app_main_tests DESKTOP
  SOURCES
    CommandLineTests.cpp
    DpiAwarenessTests.cpp
    AppTestSupport.cpp
    MainWindowTests.cpp
    ProgramRunTests.cpp
    PrintTests.cpp
    ../../lib/core/CoreTestSupport.cpp
    ../../../app/res/PeltoUi.rc
    ${pelto_app_sources}
  LINK "PeltoLib;gdiplus;ole32;comctl32;shell32;urlmon;winmm;version;comdlg32;oleaut32;uuid;winspool")
if(TARGET app_main_tests)
  add_dependencies(app_main_tests pelto)
endif()

if(WIN32)
  # The main window's waits timed on the display's screen; run by hand, prints its figures.
  add_executable(app_main_bench ${CMAKE_SOURCE_DIR}/bench/app/MainWindowBench.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/AppTestSupport.cpp
                 ${CMAKE_SOURCE_DIR}/tests/lib/core/CoreTestSupport.cpp
                 ${CMAKE_SOURCE_DIR}/tests/support/TestPump.cpp
                 ${CMAKE_SOURCE_DIR}/app/res/PeltoUi.rc ${pelto_app_sources})
  pelto_warnings(app_main_bench)
  target_link_libraries(app_main_bench PRIVATE PeltoLib PeltoFx gdiplus ole32 comctl32 shell32
                        urlmon winmm version comdlg32 oleaut32 uuid)
endif()
