# kestrov_bytes_literal(<file> <bytes-var> <size-var>)
# The raw bytes of <file> as the body of a C++ array initializer (16 a line,
# always ending in a 0x00 that is not counted, so an empty file compiles too),
# and their number.
function(kestrov_bytes_literal input bytesVar sizeVar)
  file(READ "${input}" hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
  set(${bytesVar} "${bytes}0x00" PARENT_SCOPE)
  set(${sizeVar} ${size} PARENT_SCOPE)
endfunction()

# kestrov_write_if_changed(<file> <content>)
# Rewrites <file> only when its content changes, so its users are not rebuilt.
function(kestrov_write_if_changed output content)
  file(WRITE "${output}.tmp" "${content}")
  file(COPY_FILE "${output}.tmp" "${output}" ONLY_IF_DIFFERENT)
  file(REMOVE "${output}.tmp")
endfunction()
