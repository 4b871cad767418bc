# Shared compile settings and the one-line test registration.

add_library(marovane_options INTERFACE)
target_compile_options(marovane_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wconversion)
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # clang's -Wconversion also warns on signedness, which gcc's leaves out; the code is kept
  # clean to gcc's set, so the fuzz build with clang checks the same.
  target_compile_options(marovane_options INTERFACE -Wno-sign-conversion)
endif()
if(MAROVANE_WERROR)
  target_compile_options(marovane_options INTERFACE -Werror)
endif()
if(MAROVANE_SANITIZE)
  target_compile_options(marovane_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(marovane_options INTERFACE -fsanitize=address,undefined)
endif()

if(MAROVANE_FUZZ AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  # Coverage for libFuzzer in every library; only the harnesses link its main().
  target_compile_options(marovane_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# marovane_add_test(NAME SOURCES a.cpp b.cpp [LIBS lib...] [QT])
# Registers a GoogleTest executable with ctest. QT tests share one main() that holds a
# QApplication for all their cases, and run on the offscreen platform.
function(marovane_add_test name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_QT)
    add_executable(test_${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/qt_test_main.cpp)
  else()
    add_executable(test_${name} ${ARG_SOURCES})
  endif()
  target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} GTest::gtest marovane_options)
  if(NOT ARG_QT)
    target_link_libraries(test_${name} PRIVATE GTest::gtest_main)
  endif()
  set_target_properties(test_${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND test_${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                                          WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endfunction()
