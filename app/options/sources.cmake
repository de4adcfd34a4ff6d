pelto_app_sources(
  OptionBasic.cpp
  OptionImage.cpp
  OptionHotkey.cpp
  OptionsSheet.cpp)
