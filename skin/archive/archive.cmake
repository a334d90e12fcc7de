# Portable skin resources: LZHUF decoder, skin archive reader, INI reader. No Win32, no other
# library of ours but base/: built natively (tests under sanitizers, fuzzers) and for both Windows targets.
add_library(wl_skin_archive STATIC
  ${CMAKE_CURRENT_LIST_DIR}/lzh.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_reader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quick_ini.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_lines.cpp)
target_include_directories(wl_skin_archive PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(wl_skin_archive PUBLIC wl_base)
