pelto_app_sources(
  PeltoApp.cpp
  PeltoDlg.cpp
  PeltoDlgCommands.cpp
  PeltoDlgHotkeys.cpp
  PeltoDlgPreview.cpp
  EditImageCommand.cpp
  PendingDialogs.cpp)
