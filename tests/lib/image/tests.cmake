# The processor tests, built natively under the sanitizers and by the Windows compiler alike.
set(image_core_test_sources
  ReferenceProcessors.cpp
  TestPictures.cpp
  FastVsReferenceTest.cpp
  GeometryProcessorsTest.cpp
  ColorFilterProcessorsTest.cpp
  ProcessorChainTest.cpp
  PixelBufferPoolTest.cpp
  RowWorkersTest.cpp
  ImageHeaderCheckTest.cpp)
pelto_native_test(image_core_tests SOURCES ${image_core_test_sources})
pelto_win_test(image_tests
  SOURCES ImageBitmapTests.cpp ImageTestFiles.cpp ImageTests.rc ImageHostileTests.cpp
          ImageFuzzTests.cpp
  LINK "PeltoLib;gdiplus;ole32;oleaut32")

# The same processor tests built by the Windows compiler and run under Wine: the shipped code is
# the mingw build, whose vector paths (and their stack alignment) are not the native build's.
if(WIN32)
  get_property(image_portable GLOBAL PROPERTY PELTO_LIB_PORTABLE)
  list(FILTER image_portable INCLUDE REGEX "/lib/image/")
  add_library(image_core_static STATIC ${image_portable})
  target_compile_definitions(image_core_static PUBLIC PELTO_STATIC)
  pelto_warnings(image_core_static)
  pelto_win_test(image_core_win_tests
    SOURCES ${image_core_test_sources}
    LINK image_core_static)
endif()
