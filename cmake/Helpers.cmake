# Functions that the area fragments call. Every path is taken relative to the calling fragment.

function(_pelto_abs out)
  set(result)
  foreach(f ${ARGN})
    if(IS_ABSOLUTE "${f}")
      list(APPEND result "${f}")
    else()
      list(APPEND result "${CMAKE_CURRENT_LIST_DIR}/${f}")
    endif()
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Sources of PeltoLib. PORTABLE files include no Windows header and are also built natively;
# WIN files (and .rc files) are built only into the DLL.
function(pelto_lib_sources)
  cmake_parse_arguments(A "" "" "PORTABLE;WIN" ${ARGN})
  _pelto_abs(p ${A_PORTABLE})
  _pelto_abs(w ${A_WIN})
  set_property(GLOBAL APPEND PROPERTY PELTO_LIB_PORTABLE ${p})
  set_property(GLOBAL APPEND PROPERTY PELTO_LIB_WIN ${w})
endfunction()

function(pelto_app_sources)
  _pelto_abs(s ${ARGN})
  set_property(GLOBAL APPEND PROPERTY PELTO_APP_SOURCES ${s})
endfunction()

function(pelto_hook_sources)
  _pelto_abs(s ${ARGN})
  set_property(GLOBAL APPEND PROPERTY PELTO_HOOK_SOURCES ${s})
endfunction()

# A GoogleTest executable run under Wine. LINK names extra targets (PeltoLib, pelto objects, ...).
# DESKTOP marks tests that use the shared display, clipboard, cursor or foreground window: they
# never run at the same time as each other.
function(pelto_win_test name)
  cmake_parse_arguments(A "DESKTOP" "" "SOURCES;LINK" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  _pelto_abs(s ${A_SOURCES})
  pelto_add_win_test("${name}" "${A_DESKTOP}" "${s}" "${A_LINK}")
endfunction()

# A GoogleTest executable of portable code, built natively (with sanitizers by default).
function(pelto_native_test name)
  cmake_parse_arguments(A "" "" "SOURCES" ${ARGN})
  if(WIN32 OR PELTO_BENCH)
    return()
  endif()
  _pelto_abs(s ${A_SOURCES})
  pelto_add_native_test("${name}" "${s}")
endfunction()

# A Google Benchmark executable of portable code (native build with PELTO_BENCH=ON only).
function(pelto_benchmark name)
  cmake_parse_arguments(A "" "" "SOURCES" ${ARGN})
  if(WIN32 OR NOT PELTO_BENCH)
    return()
  endif()
  _pelto_abs(s ${A_SOURCES})
  pelto_add_benchmark("${name}" "${s}")
endfunction()

function(pelto_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
