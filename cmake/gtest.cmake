# GoogleTest: Debian's library natively; for MinGW, built from the sources Debian's googletest
# package installs under /usr/src/googletest (nothing is downloaded).
if(WIN32)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/third_party/googletest EXCLUDE_FROM_ALL)
  # Test code runs at Wine's pace, not its own; the framework's one large file is built
  # unoptimised, like the test programs, for a quick compile.
  target_compile_options(gtest PRIVATE -O0)
  add_library(wl_gtest INTERFACE)
  target_link_libraries(wl_gtest INTERFACE gtest)
else()
  find_package(GTest REQUIRED)
  add_library(wl_gtest INTERFACE)
  target_link_libraries(wl_gtest INTERFACE GTest::gtest)
endif()
