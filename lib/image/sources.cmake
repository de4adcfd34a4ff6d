pelto_lib_sources(PORTABLE
  ImageProcessor.cpp
  PixelFill.cpp
  ProcessorChain.cpp
  ImageRotator.cpp
  ImageShearer.cpp
  ImageResizer.cpp
  ResizeKernels.cpp
  ImageFlipper.cpp
  ColorProcessors.cpp
  FilterProcessors.cpp
  CpuFeatures.cpp
  WeightedSampleAvx.cpp)
pelto_lib_sources(WIN
  ImageBitmap.cpp
  ImageLoading.cpp)
if(WIN32)
  # 64-bit Windows keeps the stack aligned to 16 bytes only, and GCC cannot realign it there for
  # spilled 32-byte registers; unaligned moves make any such spill safe.
  set_source_files_properties(
    ${CMAKE_CURRENT_LIST_DIR}/FilterProcessors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WeightedSampleAvx.cpp
    PROPERTIES COMPILE_OPTIONS "-Wa,-muse-unaligned-vector-move")
endif()
