# GoogleTest: Debian's packaged library natively; for the cross build, the
# sources that Debian's googletest package installs, built with mingw-w64.
# Windows test programs run under Wine in the build's own prefix (32-bit or
# 64-bit, as the programs are), one CTest test per program (a Wine start
# costs far more than a test case).
if(WIN32)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(QV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QV_WINEARCH win64)
  else()
    set(QV_WINEARCH win32)
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run --prefix ${QV_WINEPREFIX}
                                    --arch ${QV_WINEARCH})
  # Test artifacts (screenshots) as a path that Wine programs can open.
  set(QV_ARTIFACTS_FOR_TESTS "Z:${CMAKE_BINARY_DIR}/artifacts")
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(QV_ARTIFACTS_FOR_TESTS "${CMAKE_BINARY_DIR}/artifacts")
endif()
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/artifacts)

# GoogleTest and the standard headers the tests use, compiled once per build
# and shared by every test program: parsing gtest.h is most of the compile
# time of a small test file. A program whose flags differ from these would
# parse the headers itself (GCC's -Winvalid-pch says so), hence one set of
# flags for all: natively position independent, as Qt's programs must be.
file(WRITE ${CMAKE_BINARY_DIR}/qv_test_headers.cpp "")
add_library(qv_test_headers OBJECT ${CMAKE_BINARY_DIR}/qv_test_headers.cpp)
target_link_libraries(qv_test_headers PRIVATE GTest::gtest)
target_precompile_headers(qv_test_headers PRIVATE <gtest/gtest.h> <chrono> <filesystem> <functional>
                          <map> <optional> <string> <vector>)
function(qv_use_test_headers name)
  if(NOT WIN32)
    target_compile_options(${name} PRIVATE -fPIC)
  endif()
  # GCC 12's optimiser reports overflows inside std::string that cannot
  # happen (its bugs 105651 and 106199); inlined from precompiled headers they
  # are no longer hidden as a system header's. The tests run under the
  # sanitizers as well; later compilers do not make these reports.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${name} PRIVATE -Wno-array-bounds -Wno-stringop-overflow
                                           -Wno-stringop-overread)
  endif()
  if(NOT name STREQUAL qv_test_headers)
    target_precompile_headers(${name} REUSE_FROM qv_test_headers)
  endif()
endfunction()
qv_use_test_headers(qv_test_headers)

# qv_add_test_library(<name> STATIC|OBJECT <sources>...): test code that
# several test programs share, compiled once with the tests' headers; OBJECT
# for files that hold test cases, which a static library would let the
# linker drop.
function(qv_add_test_library name kind)
  add_library(${name} ${kind} ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE GTest::gtest)
  qv_use_test_headers(${name})
endfunction()

# qv_add_test(<name> [WAITING] SOURCES ... LIBS ... [PROPERTIES <test properties>...])
# The native presets give CTest six slots on two cores, and a case takes three
# of them: at most two busy cases at once. A WAITING program's cases spend
# nearly all their time in the pauses of the real program they drive (the
# installer's one second per step), so each takes one slot and several run
# beside each other.
function(qv_add_test name)
  cmake_parse_arguments(ARG "WAITING" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  if(QV_SANITIZE)
    list(APPEND ARG_SOURCES ${PROJECT_SOURCE_DIR}/tests/support/lsan_suppressions.cpp)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  qv_use_test_headers(${name})
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QV_ARTIFACTS=${QV_ARTIFACTS_FOR_TESTS}"
                                            TIMEOUT 600)
  else()
    set(slots 3)
    if(ARG_WAITING)
      set(slots 1)
    endif()
    gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "QV_ARTIFACTS=${QV_ARTIFACTS_FOR_TESTS}"
                                            PROCESSORS ${slots} ${ARG_PROPERTIES}
                         DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
