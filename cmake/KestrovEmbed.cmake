include(${CMAKE_CURRENT_LIST_DIR}/EmbedBytes.cmake)

# kestrov_embed_file(<target> INPUT <file> SYMBOL <name>)
# Compiles the raw bytes of <file> into <target> as <name>[] and <name>Size;
# regenerated whenever the file changes.
function(kestrov_embed_file target)
  cmake_parse_arguments(ARG "" "INPUT;SYMBOL" "" ${ARGN})
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${ARG_SYMBOL}.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${ARG_INPUT} -DOUTPUT=${output} -DSYMBOL=${ARG_SYMBOL}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${ARG_INPUT} ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake ${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake
    COMMENT "Embedding ${ARG_INPUT}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()

# kestrov_embed_folder(<target> FOLDER <dir> PATTERN <glob> SYMBOL <name>
#                      [NAME_REGEX <regex>])
# Compiles every file of <dir> matching <glob> into <target> as the table
# <name>[] of EmbeddedFile (platform/EmbeddedFile.h), sorted by name. The
# folder is globbed again at every build, so adding or removing a file is all
# it takes. With NAME_REGEX, a file name that does not match it stops the
# configuration.
function(kestrov_embed_folder target)
  cmake_parse_arguments(ARG "" "FOLDER;PATTERN;SYMBOL;NAME_REGEX" "" ${ARGN})
  file(GLOB inputs LIST_DIRECTORIES false CONFIGURE_DEPENDS ${ARG_FOLDER}/${ARG_PATTERN})
  if(ARG_NAME_REGEX)
    foreach(input IN LISTS inputs)
      get_filename_component(name ${input} NAME)
      if(NOT name MATCHES "${ARG_NAME_REGEX}")
        message(FATAL_ERROR "${input}: the file name must match ${ARG_NAME_REGEX}")
      endif()
    endforeach()
  endif()
  # The list of files is the command's input: rewritten only when it changes,
  # so a removed file regenerates the table too.
  list(SORT inputs)
  list(JOIN inputs "\n" listed)
  set(fileList ${CMAKE_CURRENT_BINARY_DIR}/${ARG_SYMBOL}.files)
  kestrov_write_if_changed(${fileList} "${listed}\n")
  set(output ${CMAKE_CURRENT_BINARY_DIR}/${ARG_SYMBOL}.cpp)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DFILES=${fileList} -DOUTPUT=${output} -DSYMBOL=${ARG_SYMBOL}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFolder.cmake
    DEPENDS ${fileList} ${inputs} ${PROJECT_SOURCE_DIR}/cmake/EmbedFolder.cmake ${PROJECT_SOURCE_DIR}/cmake/EmbedBytes.cmake
    COMMENT "Embedding ${ARG_FOLDER}/${ARG_PATTERN}"
    VERBATIM)
  target_sources(${target} PRIVATE ${output})
endfunction()
