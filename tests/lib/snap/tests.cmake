pelto_win_test(snap_tests DESKTOP
  SOURCES ProgramWindowTests.cpp
  LINK PeltoLib)
