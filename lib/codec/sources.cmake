pelto_lib_sources(WIN
  GdiplusCodecInfo.cpp
  GdiplusCodecList.cpp
  GdiplusSession.cpp
  GdiplusFileDialog.cpp
  ImageSaving.cpp)
