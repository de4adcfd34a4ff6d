pelto_lib_sources(PORTABLE
  ImageProcessor.cpp
  ImageHeaderCheck.cpp
  PixelFill.cpp
  ProcessorChain.cpp
  PixelBufferPool.cpp
  ImageRotator.cpp
  ImageShearer.cpp
  ImageResizer.cpp
  ResizeKernels.cpp
  ImageFlipper.cpp
  ColorProcessors.cpp
  FilterProcessors.cpp
  CpuFeatures.cpp
  WeightedSampleAvx.cpp
  PixelLoopsAvx2.cpp
  BlurAvx512.cpp
  WeightedSampleAvx512.cpp)
pelto_lib_sources(WIN
  ImageBitmap.cpp
  ImageLoading.cpp
  MemoryStream.cpp)
if(WIN32)
  # 64-bit Windows keeps the stack aligned to 16 bytes only, and GCC cannot realign it there for
  # spilled 32-byte registers; unaligned moves make any such spill safe.
  set_source_files_properties(
    ${CMAKE_CURRENT_LIST_DIR}/FilterProcessors.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ImageRotator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WeightedSampleAvx.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PixelLoopsAvx2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BlurAvx512.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WeightedSampleAvx512.cpp
    PROPERTIES COMPILE_OPTIONS "-Wa,-muse-unaligned-vector-move")
endif()
