# 64-bit Windows: the same sources, built to run here under Wine.
set(MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
# GoogleTest needs std::mutex, which only the posix variant has; the
# programs link statically either way and import nothing more.
set(MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)

# CTest runs the Windows test programs through Wine, in a prefix of the build
# tree's own (created once, by the wine_prefix test fixture).
set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env WINEPREFIX=${WINE_PREFIX} WINEDEBUG=-all /usr/lib/wine/wine64)
set(WINE_SERVER /usr/bin/env WINEPREFIX=${WINE_PREFIX} /usr/lib/wine/wineserver)
