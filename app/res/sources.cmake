pelto_app_sources(pelto.rc)
# The resource compiler's includes and pictures are not seen by the build's dependency scan: every
# resource script of the program is rebuilt when any of them changes.
file(GLOB pelto_res_inputs ${CMAKE_CURRENT_LIST_DIR}/*.rc ${CMAKE_CURRENT_LIST_DIR}/*.h
     ${CMAKE_CURRENT_LIST_DIR}/*.ico ${CMAKE_CURRENT_LIST_DIR}/*.cur ${CMAKE_CURRENT_LIST_DIR}/*.bmp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/pelto.rc
                            ${CMAKE_CURRENT_LIST_DIR}/PeltoUi.rc
                            DIRECTORY ${CMAKE_SOURCE_DIR}
                            PROPERTIES OBJECT_DEPENDS "${pelto_res_inputs}")
