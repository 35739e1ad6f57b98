# Cross build of the 32-bit Windows programs with mingw-w64 (i686, posix threads),
# statically linked so that the executables need nothing beside them under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QV_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
