pelto_lib_sources(WIN
  ProgramWindows.cpp
  DlgActiveWin.cpp)
