# One ctest test per GoogleTest suite of a test program, found when ctest starts (the program
# lists its tests through the cross-compiling emulator; gtest_suites_list.cmake) and listed
# again only when the program changed. Under Wine a program's start costs far more than most
# tests (seconds for a 32-bit program under an emulator), so one start per suite instead of one
# per test case keeps the run short, while `ctest -R <Suite>` still picks a suite and a
# failure's output names its case.
#   vantrel_add_gtest_suites(<target> PREFIX <name prefix> PROPERTIES <test properties...>)
function(vantrel_add_gtest_suites target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX" "PROPERTIES")
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_suites_include.cmake")
  file(GENERATE OUTPUT "${include_file}" CONTENT
"set(program [==[$<TARGET_FILE:${target}>]==])
set(list_file [==[${CMAKE_CURRENT_BINARY_DIR}/${target}_suites.txt]==])
set(emulator [==[${CMAKE_CROSSCOMPILING_EMULATOR}]==])
set(prefix [==[${arg_PREFIX}]==])
set(properties [==[${arg_PROPERTIES}]==])
include([==[${PROJECT_SOURCE_DIR}/cmake/gtest_suites_list.cmake]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()
