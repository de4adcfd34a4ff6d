pelto_win_test(framework_tests
  SOURCES FxStringTests.cpp GeometryTests.cpp ObjectTests.cpp
  LINK "")
pelto_win_test(framework_window_tests DESKTOP
  SOURCES MessageMapTests.cpp DialogTests.cpp CmdUITests.cpp GdiTests.cpp ReflectionTests.cpp
    RectTrackerTests.cpp FrameworkTests.rc
  LINK "")
