# The shipped 32-bit build's test programs. GoogleTest needs std::mutex, which
# only the posix variant has; the programs under test are the shipped ones,
# taken from the windows-x86 build (SHIPPED_PROGRAMS_DIR). CTest runs the
# test programs under the project's 32-bit Wine (scripts/wine32.sh), in a
# prefix of the build tree's own.
set(MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_THREADS posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)

set(WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(wine32 ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine32.sh)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env WINEPREFIX=${WINE_PREFIX} WINEDEBUG=-all bash ${wine32} exec /usr/lib/wine/wine64)
set(WINE_SERVER
    /usr/bin/env WINEPREFIX=${WINE_PREFIX} bash ${wine32} exec /usr/lib/wine/wineserver)
