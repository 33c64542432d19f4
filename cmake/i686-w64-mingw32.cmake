# 32-bit Windows, the shipped build. This machine cannot run its programs.
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
# The lightest runtime: nothing to link beyond KERNEL32 and msvcrt.
set(MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
