pelto_benchmark(image_bench SOURCES
  ImageBench.cpp
  PairedRounds.cpp
  ../../../tests/lib/image/ReferenceProcessors.cpp
  ../../../tests/lib/image/TestPictures.cpp)
