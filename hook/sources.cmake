pelto_hook_sources(FsHook.cpp)
