# Cross build of the 64-bit Windows programs with mingw-w64 (x86_64, posix
# threads), statically linked so that the executables need nothing beside them.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(QV_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
