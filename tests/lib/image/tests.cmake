pelto_native_test(image_core_tests SOURCES
  ReferenceProcessors.cpp
  TestPictures.cpp
  FastVsReferenceTest.cpp
  GeometryProcessorsTest.cpp
  ColorFilterProcessorsTest.cpp
  ProcessorChainTest.cpp)
pelto_win_test(image_tests
  SOURCES ImageBitmapTests.cpp ImageTestFiles.cpp ImageTests.rc
  LINK "PeltoLib;gdiplus;ole32;oleaut32")
