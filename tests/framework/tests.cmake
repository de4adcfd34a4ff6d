pelto_win_test(framework_tests
  SOURCES FxStringTests.cpp GeometryTests.cpp
  LINK "")
pelto_win_test(framework_window_tests DESKTOP
  SOURCES MessageMapTests.cpp DialogTests.cpp CmdUITests.cpp GdiTests.cpp FrameworkTests.rc
  LINK "")
