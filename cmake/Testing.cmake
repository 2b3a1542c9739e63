# GoogleTest for both trees and lum_add_test(), which builds one test program and registers it.
#   lum_add_test(NAME SOURCES file... [LIBS lib...] [DEPENDS target...])
# Native test programs are split into one ctest test per case; a Windows test program is one
# ctest test run under Wine through the cross-compiling emulator.
if(WIN32)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  # Native tests keep their scratch files inside the build tree.
  set(LUM_TEST_TMPDIR ${CMAKE_BINARY_DIR}/tmp)
  file(MAKE_DIRECTORY ${LUM_TEST_TMPDIR})
endif()

function(lum_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;DEPENDS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(T_DEPENDS)
    add_dependencies(${name} ${T_DEPENDS})
  endif()
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT TMPDIR=${LUM_TEST_TMPDIR})
  endif()
endfunction()
