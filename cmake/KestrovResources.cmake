# kestrov_add_resource_module(<target> SET <set> OUTPUT <file>)
# Builds a skin module: skingen draws <set> into a folder of its own, then
# rcc packs it, uncompressed (PNG already is), into the binary resource <file>.
function(kestrov_add_resource_module target)
  cmake_parse_arguments(ARG "" "SET;OUTPUT" "" ${ARGN})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${target}-skin)
  get_filename_component(outputFolder ${ARG_OUTPUT} DIRECTORY)
  add_custom_command(OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${work}
    COMMAND skingen ${ARG_SET} ${work}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${outputFolder}
    COMMAND Qt6::rcc --binary --no-compress ${work}/${ARG_SET}.qrc -o ${ARG_OUTPUT}
    DEPENDS skingen
    COMMENT "Building the ${ARG_SET} skin module ${ARG_OUTPUT}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${ARG_OUTPUT})
endfunction()
