pelto_lib_sources(WIN Helper.cpp)
