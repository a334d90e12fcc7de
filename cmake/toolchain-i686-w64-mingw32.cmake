# 32-bit Windows build: the product. It is built and linked here but cannot be run on these
# machines (no 32-bit code can execute), so it carries no test launcher.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(WL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
