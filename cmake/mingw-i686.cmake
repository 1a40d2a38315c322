# 32-bit Windows: the Korvex.dll that loads on Windows XP SP3 and later.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
