# Cross build for Windows with Debian's mingw-w64, shared by the i686 and
# x86_64 toolchain files (they set CMAKE_SYSTEM_PROCESSOR first); programs run
# under Wine through wine-run.
#
# The win32-thread-model compilers: their runtime locks with plain Win32
# semaphores and critical sections. The posix-thread ones link winpthreads,
# which imports GetTickCount64 (no DLL using it loads on Windows XP) and keeps
# a record of every thread that ran the module, which no unload gives back.
# Every target links its runtime statically (KORVEX_STATIC_RUNTIME): the DLL
# and the programs import only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(KORVEX_MINGW_TARGET ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVEX_MINGW_TARGET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KORVEX_MINGW_TARGET}-g++-win32)
set(CMAKE_RC_COMPILER ${KORVEX_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KORVEX_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
