# cmake -P cmake/ListPortableSources.cmake: prints every PORTABLE source of PeltoLib, one path a
# line, by reading the areas' sources.cmake the way the builds do, without configuring a build.
get_filename_component(root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(PELTO_PORTABLE_LIST "")

function(pelto_lib_sources)
  cmake_parse_arguments(A "" "" "PORTABLE;WIN" ${ARGN})
  foreach(f ${A_PORTABLE})
    if(NOT IS_ABSOLUTE "${f}")
      set(f "${CMAKE_CURRENT_LIST_DIR}/${f}")
    endif()
    set_property(GLOBAL APPEND PROPERTY PELTO_PORTABLE_LIST "${f}")
  endforeach()
endfunction()
# The fragments may also set flags or copy files; none of that matters for the list.
foreach(cmd set_source_files_properties configure_file target_compile_options
            target_sources pelto_app_sources pelto_hook_sources)
  cmake_language(EVAL CODE "function(${cmd})\nendfunction()")
endforeach()

file(GLOB fragments "${root}/lib/*/sources.cmake")
foreach(fragment ${fragments})
  include("${fragment}")
endforeach()
get_property(list GLOBAL PROPERTY PELTO_PORTABLE_LIST)
foreach(f ${list})
  file(RELATIVE_PATH rel "${root}" "${f}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${rel}")
endforeach()
