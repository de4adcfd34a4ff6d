pelto_win_test(snap_tests DESKTOP
  SOURCES
    ProgramWindowTests.cpp
    SnapTestSupport.cpp
    SnapTipTests.cpp
    SnapOverlayTests.cpp
    SnapClassInfoTests.cpp
    ChooserViewTests.cpp
  LINK PeltoLib)

pelto_win_test(snap_geometry_tests
  SOURCES SnapGeometryTests.cpp
  LINK PeltoLib)
