pelto_app_sources(pelto.rc)
