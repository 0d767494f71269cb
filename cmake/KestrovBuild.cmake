# Warnings, sanitizers and the helpers every subsystem uses.

option(KESTROV_WERROR "Treat warnings in the project's code as errors" OFF)
set(SANITIZE "" CACHE STRING "Sanitizers to build with: address,undefined or thread")

set(KESTROV_WARNINGS -Wall -Wextra)
if(KESTROV_WERROR)
  list(APPEND KESTROV_WARNINGS -Werror)
endif()

if(SANITIZE)
  add_compile_options(-fsanitize=${SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${SANITIZE})
endif()

# Fuzz targets (tests/fuzz) with libFuzzer: clang only. Everything is built
# with the fuzzer's coverage hooks; the targets link its driver.
option(KESTROV_FUZZ "Build the fuzz targets as libFuzzer programs (clang)" OFF)
if(KESTROV_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

set(CMAKE_AUTOMOC ON)

# kestrov_library(<name> SOURCES ... [QT ...] [DEPS ...])
# One static library per subsystem, the project's warnings on.
function(kestrov_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KESTROV_WARNINGS})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# kestrov_test(<name> LABEL <label> SOURCES ... [DEPS ...] [OWN_MAIN] [THREADS]
#              [TIMEOUT <s>])
# A GoogleTest executable whose cases CTest discovers, labelled by subsystem.
# THREADS also registers the whole executable as one test labelled threads,
# which the thread-sanitizer build repeats.
# Tests run on the offscreen platform, so none needs a display; OWN_MAIN
# leaves out gtest_main for suites that must create a QApplication first;
# TIMEOUT turns a hang of any case into a failure.
# Every test's environment holds these: no test may reach a real block
# device (the card formatter refuses), and none talks to the outside
# (network probes beyond loopback abort).
set(KESTROV_TEST_GUARDS "KESTROV_NO_DEVICES=1;KESTROV_NO_NETWORK=1")

function(kestrov_test name)
  cmake_parse_arguments(ARG "OWN_MAIN;THREADS" "LABEL;TIMEOUT" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${KESTROV_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set(env "QT_QPA_PLATFORM=offscreen" ${KESTROV_TEST_GUARDS})
  set(timeout)
  if(ARG_TIMEOUT)
    set(timeout TIMEOUT ${ARG_TIMEOUT})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    NO_PRETTY_VALUES
    PROPERTIES LABELS ${ARG_LABEL} ${timeout}
    DISCOVERY_TIMEOUT 30)
  # The environment is set after discovery, as one value: gtest_discover_tests
  # would split a list of variables into separate properties.
  set(env_file "${CMAKE_CURRENT_BINARY_DIR}/${name}_environment.cmake")
  file(WRITE "${env_file}"
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES ENVIRONMENT [==[${env}]==])\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${env_file}")
  if(ARG_THREADS)
    add_test(NAME ${name}.threads COMMAND ${name})
    set_tests_properties(${name}.threads PROPERTIES LABELS threads ENVIRONMENT "${env}")
  endif()
endfunction()
