pelto_win_test(hook_tests DESKTOP
  SOURCES HookTests.cpp
  LINK Hook)
