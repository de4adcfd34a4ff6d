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

# The desktop's geometry is plain C++: checked natively under the sanitizers and by the Windows
# build alike.
pelto_native_test(snap_screen_geometry_tests SOURCES ScreenGeometryTests.cpp)
pelto_win_test(snap_screen_geometry_win_tests SOURCES ScreenGeometryTests.cpp)
