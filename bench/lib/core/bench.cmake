# The capture path timed on whatever screen the display has; run by hand under Wine, prints its
# figures. It drives the engine through the core tests' host window.
if(WIN32)
  add_executable(core_capture_bench ${CMAKE_CURRENT_LIST_DIR}/CaptureBench.cpp
                 ${CMAKE_SOURCE_DIR}/tests/lib/core/CoreTestSupport.cpp
                 ${CMAKE_SOURCE_DIR}/tests/support/TestPump.cpp)
  pelto_warnings(core_capture_bench)
  target_link_libraries(core_capture_bench PRIVATE PeltoLib PeltoFx gdiplus ole32)
endif()
