# GoogleTest for cross builds, compiled from the sources Debian ships with libgtest-dev
# (RDS_GTEST_SOURCE_DIR, set by our toolchain files), so nothing is downloaded. Provides the
# same target names as find_package(GTest) does on Linux, so the test folders need no changes.
if(NOT EXISTS ${RDS_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest sources not found in '${RDS_GTEST_SOURCE_DIR}'"
                      " (Debian: apt-get install libgtest-dev)")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
# Only what the tests link gets built.
add_subdirectory(${RDS_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

foreach(lib gtest gtest_main gmock gmock_main)
  # Third-party code: keep our warning flags from flooding the build log.
  target_compile_options(${lib} PRIVATE -w)
  add_library(GTest::${lib} ALIAS ${lib})
endforeach()
# The older names that CMake's FindGTest also defines.
add_library(GTest::GTest ALIAS gtest)
add_library(GTest::Main ALIAS gtest_main)
set(GTest_FOUND TRUE)

include(GoogleTest)

# Under Wine each process start costs a few hundred milliseconds, and gtest_discover_tests makes
# one ctest test, so one process, per test case. Cross builds register one ctest test per test
# executable instead; GoogleTest still names every case and every failure in the output.
function(gtest_discover_tests target)
  cmake_parse_arguments(arg "NO_PRETTY_TYPES;NO_PRETTY_VALUES"
                        "WORKING_DIRECTORY;TEST_PREFIX;TEST_SUFFIX;TEST_LIST;DISCOVERY_TIMEOUT;DISCOVERY_MODE;XML_OUTPUT_DIR"
                        "EXTRA_ARGS;PROPERTIES" ${ARGN})
  set(dir ${CMAKE_CURRENT_BINARY_DIR})
  if(arg_WORKING_DIRECTORY)
    set(dir ${arg_WORKING_DIRECTORY})
  endif()
  set(name ${arg_TEST_PREFIX}${target}${arg_TEST_SUFFIX})
  add_test(NAME ${name} COMMAND ${target} ${arg_EXTRA_ARGS} WORKING_DIRECTORY ${dir})
  if(arg_PROPERTIES)
    set_tests_properties(${name} PROPERTIES ${arg_PROPERTIES})
  endif()
endfunction()
