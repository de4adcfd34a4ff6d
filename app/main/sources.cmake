pelto_app_sources(PeltoApp.cpp PeltoDlg.cpp)
