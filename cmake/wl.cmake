# Helpers shared by every layer's CMakeLists.txt.

# wl_test(NAME name SOURCES ... [LIBS ...] [WIN32_ONLY] [TIMEOUT seconds] [SOAK gtest-filter])
# One GoogleTest executable per layer. Native builds run it directly; the x86_64 Windows build
# runs it through tools/wine-run (the toolchain's CMAKE_CROSSCOMPILING_EMULATOR). The i686 build
# builds no tests: it cannot run them here.
# SOAK names the program's leak tests: they run in every test run with a few counted cycles, and
# once more as the test NAME_soak (label "soak", run by `make soak` only) with WL_SOAK_CYCLES.
set(WL_SOAK_CYCLES 1000 CACHE STRING "Counted cycles of every leak loop in the soak tier")
function(wl_test)
  cmake_parse_arguments(T "WIN32_ONLY;PORTABLE" "NAME;TIMEOUT;SOAK" "SOURCES;LIBS" ${ARGN})
  if(NOT WL_TESTS)
    return()
  endif()
  if(T_WIN32_ONLY AND NOT WIN32)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} wl_test_support wl_gtest)
  if(WIN32 AND TARGET wl_freed_poison)
    # Use-after-free fails loudly in every Windows test program (tests/support/freed_poison.h).
    target_link_libraries(${T_NAME} PRIVATE wl_freed_poison)
  endif()
  if(WIN32)
    # Console subsystem so gtest's output reaches ctest.
    target_link_options(${T_NAME} PRIVATE -mconsole)
    # Test code runs at Wine's pace, not its own: it is built unoptimized, and Windows tests share
    # one precompiled header of the system and test headers every one of them includes.
    target_compile_options(${T_NAME} PRIVATE -O0)
    if(T_WIN32_ONLY)
      target_precompile_headers(${T_NAME} REUSE_FROM wl_test_pch)
    endif()
  endif()
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # tools/wine-run kills a program after WL_WINE_TIMEOUT seconds; give it the test's own limit
  # so a long test under Wine is not cut short before ctest would stop it.
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
                       ENVIRONMENT "WL_WINE_TIMEOUT=${T_TIMEOUT}")
  if(T_SOAK)
    set(soak_timeout 3600)
    add_test(NAME ${T_NAME}_soak COMMAND ${T_NAME} "--gtest_filter=${T_SOAK}")
    set_tests_properties(${T_NAME}_soak PROPERTIES TIMEOUT ${soak_timeout} LABELS soak
                         ENVIRONMENT "WL_WINE_TIMEOUT=${soak_timeout};WL_LEAK_CYCLES=${WL_SOAK_CYCLES}")
  endif()
endfunction()

# wl_test_code(target): a library of test helpers, built like the test programs that link it:
# unoptimised and, on Windows, with the test programs' precompiled header.
function(wl_test_code target)
  if(WIN32)
    target_compile_options(${target} PRIVATE -O0)
    target_precompile_headers(${target} REUSE_FROM wl_test_pch)
  endif()
endfunction()

# The Windows path of a file on the Linux side: Wine maps the Unix root to drive Z:.
function(wl_host_path out path)
  if(WIN32)
    set(${out} "Z:${path}" PARENT_SCOPE)
  else()
    set(${out} "${path}" PARENT_SCOPE)
  endif()
endfunction()

# wl_windows_pch(target ...)
# The Win32 libraries of the product spend much of their compile time parsing <windows.h>, the
# standard library and the UI library's headers again for every file. They share one
# precompiled header of those, made once per build by a target of its own with the global flags
# only (the compiler refuses a precompiled header made with options or macros its user lacks).
function(wl_windows_pch)
  if(NOT TARGET wl_windows_pch)
    file(WRITE ${CMAKE_BINARY_DIR}/windows_pch.cpp "// The precompiled header's own translation unit.\n")
    add_library(wl_windows_pch OBJECT ${CMAKE_BINARY_DIR}/windows_pch.cpp)
    target_include_directories(wl_windows_pch PRIVATE ${CMAKE_SOURCE_DIR})
    target_precompile_headers(wl_windows_pch PRIVATE
      <windows.h> <commctrl.h> <algorithm> <cstring> <functional> <map> <memory> <string> <vector>
      ${CMAKE_SOURCE_DIR}/ui/forms.h)
  endif()
  foreach(target ${ARGN})
    if(TARGET ${target})
      target_precompile_headers(${target} REUSE_FROM wl_windows_pch)
    endif()
  endforeach()
endfunction()
