# What the end-to-end suite (tests/e2e/run.sh) needs beside the program: the driver that works the
# program's windows by messages, and the same program one version higher, which the suite offers as
# the newer release. That program links the program's own objects; only its version resource and
# the command line, which prints the version, are compiled again.
add_executable(e2e_driver ${CMAKE_CURRENT_LIST_DIR}/E2eDriver.cpp)
target_link_options(e2e_driver PRIVATE -municode)
pelto_warnings(e2e_driver)

if(TARGET pelto)
  add_executable(pelto_next WIN32
    "$<FILTER:$<TARGET_OBJECTS:pelto>,EXCLUDE,(pelto\\.rc\\.res|CommandLine\\.cpp\\.obj)$>"
    $<TARGET_OBJECTS:PeltoFxMain>
    ${CMAKE_SOURCE_DIR}/app/res/pelto.rc
    ${CMAKE_SOURCE_DIR}/app/main/CommandLine.cpp)
  target_compile_definitions(pelto_next PRIVATE PELTO_VERSION_BUILD=2)
  target_link_options(pelto_next PRIVATE -municode)
  pelto_warnings(pelto_next)
  target_link_libraries(pelto_next PRIVATE PeltoLib PeltoFx gdiplus comctl32 shell32 urlmon
                        winmm version ole32 oleaut32 uuid comdlg32)
  set_target_properties(pelto_next PROPERTIES OUTPUT_NAME pelto
                        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/e2e-next)
endif()
