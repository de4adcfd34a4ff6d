# The Windows build: framework DLL, PeltoLib.dll, the hook component, pelto.exe and the tests that
# run under Wine. Everything lands in one folder, bin/, which runs on a clean Windows as it is.

set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set(CMAKE_ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib)
set(CMAKE_SHARED_LIBRARY_PREFIX "")

add_compile_definitions(UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
add_compile_options(-ffp-contract=off)
# 64-bit Windows keeps the stack aligned to 16 bytes only, and GCC cannot realign it there for
# the 32- and 64-byte registers that AVX and AVX-512 code spills: an aligned move to such a slot
# faults, on Windows only. Encoded as unaligned moves they are as fast and always safe. Every C
# and C++ file gets it, the library's and those of any test that compiles its sources, since
# any of them may hold vector code (a kernel file, or an inline function of a kernel header).
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-Wa,-muse-unaligned-vector-move>)
# No MinGW runtime DLL may be needed beside the program.
add_link_options(-static -static-libgcc -static-libstdc++)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

include_directories(${CMAKE_SOURCE_DIR})

# GoogleTest from the Debian sources, built with this toolchain.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

function(pelto_add_win_test name desktop sources links)
  add_executable(${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/support/test_manifest.rc)
  pelto_warnings(${name})
  target_link_libraries(${name} PRIVATE PeltoTestSupport ${links} PeltoFx gmock gtest)
  set(props TIMEOUT 120)
  if(desktop)
    list(APPEND props RESOURCE_LOCK desktop)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES ${props})
endfunction()

add_subdirectory(framework)
add_subdirectory(tests/support)

foreach(area ${PELTO_AREAS})
  if(EXISTS ${CMAKE_SOURCE_DIR}/${area}/sources.cmake)
    include(${CMAKE_SOURCE_DIR}/${area}/sources.cmake)
  endif()
endforeach()

# The hook component the engine links against.
get_property(hook_sources GLOBAL PROPERTY PELTO_HOOK_SOURCES)
set(hook_target)
if(hook_sources)
  add_library(Hook SHARED ${hook_sources})
  target_compile_definitions(Hook PRIVATE HOOK_BUILD)
  pelto_warnings(Hook)
  set(hook_target Hook)
endif()

get_property(lib_portable GLOBAL PROPERTY PELTO_LIB_PORTABLE)
get_property(lib_win GLOBAL PROPERTY PELTO_LIB_WIN)
add_library(PeltoLib SHARED ${lib_portable} ${lib_win})
target_compile_definitions(PeltoLib PRIVATE PELTOLIB_BUILD)
target_link_libraries(PeltoLib PUBLIC PeltoFx PRIVATE ${hook_target} gdiplus ole32 oleaut32 uuid winmm
                      comdlg32 comctl32 msimg32)
pelto_warnings(PeltoLib)

get_property(app_sources GLOBAL PROPERTY PELTO_APP_SOURCES)
add_executable(pelto WIN32 ${app_sources} $<TARGET_OBJECTS:PeltoFxMain>)
target_link_options(pelto PRIVATE -municode)
target_link_libraries(pelto PRIVATE PeltoLib PeltoFx gdiplus comctl32 shell32 urlmon
                      winmm version ole32 oleaut32 uuid comdlg32)
pelto_warnings(pelto)

foreach(area framework ${PELTO_AREAS})
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/${area}/tests.cmake)
    include(${CMAKE_SOURCE_DIR}/tests/${area}/tests.cmake)
  elseif(EXISTS ${CMAKE_SOURCE_DIR}/tests/${area}.cmake)
    include(${CMAKE_SOURCE_DIR}/tests/${area}.cmake)
  endif()
endforeach()
# Benchmarks of code that only runs on Windows; the portable ones build natively (PELTO_BENCH).
foreach(area ${PELTO_AREAS})
  if(EXISTS ${CMAKE_SOURCE_DIR}/bench/${area}/bench.cmake)
    include(${CMAKE_SOURCE_DIR}/bench/${area}/bench.cmake)
  endif()
endforeach()
include(${CMAKE_SOURCE_DIR}/tests/deploy.cmake)
include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
