# The vector kernels of each level live in files of their own (Kernels*.cpp and the files they
# name); VectorKernels.cpp fills one table per level from them. The assembler option that keeps
# their 32- and 64-byte register spills safe on 64-bit Windows is given to every file of the
# Windows build (cmake/WindowsBuild.cmake), so no list here has to name them.
pelto_lib_sources(PORTABLE
  ImageProcessor.cpp
  ImageHeaderCheck.cpp
  PixelFill.cpp
  ProcessorChain.cpp
  PixelBufferPool.cpp
  RowWorkers.cpp
  PictureConversion.cpp
  ImageRotator.cpp
  ImageShearer.cpp
  ImageResizer.cpp
  ResizeKernels.cpp
  ImageFlipper.cpp
  ColorProcessors.cpp
  FilterProcessors.cpp
  CpuFeatures.cpp
  VectorKernels.cpp
  KernelsSse2.cpp
  KernelsAvx.cpp
  KernelsAvx2.cpp
  ShrinkAvx2.cpp
  KernelsAvx512.cpp
  WeightedSampleAvx.cpp
  WeightedSampleAvx2.cpp
  BlurAvx2.cpp
  BlurAvx512.cpp
  WeightedSampleAvx512.cpp)
pelto_lib_sources(WIN
  ImageBitmap.cpp
  ImageLoading.cpp
  ScreenGrab.cpp
  SystemScreen.cpp
  WindowResponse.cpp
  MemoryStream.cpp
  ClipboardAccess.cpp)
