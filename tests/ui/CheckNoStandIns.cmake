# Fails when a source under SOURCE_DIR still names any of NAMES: the panes
# and dialogs that stood in for the real ones until they were wired in.
file(GLOB_RECURSE sources "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
foreach(source IN LISTS sources)
  file(READ "${source}" text)
  foreach(name IN LISTS NAMES)
    string(FIND "${text}" "${name}" at)
    if(NOT at EQUAL -1)
      message(FATAL_ERROR "${source} still names ${name}")
    endif()
  endforeach()
endforeach()
