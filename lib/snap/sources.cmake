pelto_lib_sources(WIN
  ProgramWindows.cpp
  DlgActiveWin.cpp
  SnapTipEdit.cpp
  DlgSnapObjHelper.cpp
  DlgSnapRectHelper.cpp
  SnapTrack.cpp)
