# The build folder must run on a clean Windows: every module may import only system DLLs and the
# project's own DLLs lying beside it.
add_test(NAME deploy.imports_are_system_or_local
         COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-imports.sh ${CMAKE_BINARY_DIR}/bin)
