pelto_lib_sources(WIN
  Helper.cpp
  CaptureScope.cpp
  PeltoCore.cpp
  PeltoCoreImage.cpp
  PeltoCoreModes.cpp
  PeltoCorePick.cpp
  PeltoCoreTransfer.cpp
  ClipboardPicture.cpp)

# The capture sound lies beside the program (made by tools/sound/make_snap_wav.py).
if(WIN32)
  configure_file(${CMAKE_SOURCE_DIR}/tools/sound/snap.wav ${CMAKE_BINARY_DIR}/bin/snap.wav COPYONLY)
endif()
