# Shared part of the MinGW-w64 toolchains. The -posix thread model is required: GoogleTest needs
# std::mutex, which the -win32 compilers lack.
set(CMAKE_C_COMPILER ${WL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${WL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: the executables import nothing but system DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
if(WL_MINGW_TRIPLE STREQUAL "x86_64-w64-mingw32")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
endif()
