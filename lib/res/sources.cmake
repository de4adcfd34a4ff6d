pelto_lib_sources(WIN
  PeltoLib.rc
  PeltoLocalResource.cpp)
