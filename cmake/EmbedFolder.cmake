# cmake -DFILES=<list file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P EmbedFolder.cmake
# Writes a C++ source defining every file named in the list file (one path a
# line), by name without its folder and raw bytes:
#   extern const EmbeddedFile <SYMBOL>[];  // ends with {nullptr, nullptr, 0}
# (platform/EmbeddedFile.h), so a folder of data is compiled in as it stands.
include(${CMAKE_CURRENT_LIST_DIR}/EmbedBytes.cmake)
file(STRINGS "${FILES}" files)
set(arrays "")
set(entries "")
set(index 0)
foreach(file IN LISTS files)
  if(file STREQUAL "")
    continue()
  endif()
  get_filename_component(name "${file}" NAME)
  kestrov_bytes_literal("${file}" bytes size)
  string(APPEND arrays "const unsigned char file${index}[] = {\n    ${bytes}};\n")
  string(APPEND entries "    {\"${name}\", file${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(CONCAT source
  "// Generated from the files listed in ${FILES}; do not edit.\n"
  "#include \"platform/EmbeddedFile.h\"\n\n"
  "namespace {\n${arrays}}  // namespace\n\n"
  "extern const EmbeddedFile ${SYMBOL}[];\n"
  "const EmbeddedFile ${SYMBOL}[] = {\n${entries}    {nullptr, nullptr, 0},\n};\n")
kestrov_write_if_changed("${OUTPUT}" "${source}")
