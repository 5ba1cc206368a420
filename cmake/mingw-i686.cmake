# The shipped program: 32-bit Windows, Debian's win32-thread-model mingw-w64.
set(TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
