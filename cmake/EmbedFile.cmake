# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P EmbedFile.cmake
# Writes a C++ source defining the raw bytes of INPUT as
#   extern const unsigned char <SYMBOL>[]; extern const std::size_t <SYMBOL>Size;
# so that data is compiled in without a resource system or a file to find.
include(${CMAKE_CURRENT_LIST_DIR}/EmbedBytes.cmake)
kestrov_bytes_literal("${INPUT}" bytes size)
string(CONCAT source
  "// Generated from ${INPUT}; do not edit.\n"
  "#include <cstddef>\n\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const std::size_t ${SYMBOL}Size;\n"
  "const unsigned char ${SYMBOL}[] = {\n    ${bytes}};\n"
  "const std::size_t ${SYMBOL}Size = ${size};\n")
kestrov_write_if_changed("${OUTPUT}" "${source}")
