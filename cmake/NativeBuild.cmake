# The native build: the portable core (pixel code, parsers) with its tests under AddressSanitizer
# and UndefinedBehaviorSanitizer, and its benchmarks (PELTO_BENCH=ON, optimised, no sanitizers).

option(PELTO_SANITIZE "Build the native tests with ASan and UBSan" ON)
option(PELTO_BENCH "Build the benchmarks instead of the tests" OFF)

add_compile_options(-ffp-contract=off)
include_directories(${CMAKE_SOURCE_DIR})

if(PELTO_SANITIZE AND NOT PELTO_BENCH)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(NOT PELTO_BENCH)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(GoogleTest)
else()
  find_package(benchmark REQUIRED)
endif()

foreach(area ${PELTO_AREAS})
  if(EXISTS ${CMAKE_SOURCE_DIR}/${area}/sources.cmake)
    include(${CMAKE_SOURCE_DIR}/${area}/sources.cmake)
  endif()
endforeach()

get_property(lib_portable GLOBAL PROPERTY PELTO_LIB_PORTABLE)
add_library(pelto_portable STATIC ${lib_portable} ${CMAKE_SOURCE_DIR}/tests/support/empty.cpp)
target_compile_definitions(pelto_portable PUBLIC PELTO_STATIC)
pelto_warnings(pelto_portable)

function(pelto_add_native_test name sources)
  add_executable(${name} ${sources})
  pelto_warnings(${name})
  target_link_libraries(${name} PRIVATE pelto_portable gmock gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

function(pelto_add_benchmark name sources)
  add_executable(${name} ${sources})
  pelto_warnings(${name})
  target_link_libraries(${name} PRIVATE pelto_portable benchmark::benchmark)
endfunction()

foreach(area framework ${PELTO_AREAS})
  if(EXISTS ${CMAKE_SOURCE_DIR}/tests/${area}/tests.cmake)
    include(${CMAKE_SOURCE_DIR}/tests/${area}/tests.cmake)
  endif()
endforeach()
foreach(area ${PELTO_AREAS})
  if(EXISTS ${CMAKE_SOURCE_DIR}/bench/${area}/bench.cmake)
    include(${CMAKE_SOURCE_DIR}/bench/${area}/bench.cmake)
  endif()
endforeach()
