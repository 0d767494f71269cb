# kestrov_embed_file(<target> INPUT <file> SYMBOL <name>)
# Compiles the raw bytes of <file> into <target> as <name>[] and <name>Size;
# regenerated whenever the file changes.
function(kestrov_embed_file target)
  cmake_parse_arguments(ARG "" "INPUT;SYMBOL" "" ${ARGN})
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${ARG_SYMBOL}.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${ARG_INPUT} -DOUTPUT=${output} -DSYMBOL=${ARG_SYMBOL}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${ARG_INPUT} ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    COMMENT "Embedding ${ARG_INPUT}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
