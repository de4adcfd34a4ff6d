pelto_app_sources(PinWnd.cpp)
