pelto_app_sources(TrayNotifyIcon.cpp)
