# GoogleTest: Debian's packaged library natively; for the cross build, the
# sources that Debian's googletest package installs, built with mingw-w64.
# Windows test programs run under Wine in the build's own 32-bit prefix, one
# CTest test per program (a Wine start costs far more than a test case).
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(QV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run --prefix ${QV_WINEPREFIX})
  # Test artifacts (screenshots) as a path that Wine programs can open.
  set(QV_ARTIFACTS_FOR_TESTS "Z:${CMAKE_BINARY_DIR}/artifacts")
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(QV_ARTIFACTS_FOR_TESTS "${CMAKE_BINARY_DIR}/artifacts")
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/artifacts)

# qv_add_test(<name> SOURCES ... LIBS ...)
function(qv_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(QV_SANITIZE)
    list(APPEND ARG_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/lsan_suppressions.cpp)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QV_ARTIFACTS=${QV_ARTIFACTS_FOR_TESTS}"
                                            TIMEOUT 600)
  else()
    gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "QV_ARTIFACTS=${QV_ARTIFACTS_FOR_TESTS}"
                         DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
