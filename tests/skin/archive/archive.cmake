# Portable skin resources: decoder, archive reader, INI reader (natively and under Wine).
wl_test(NAME skin_archive_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/lzh_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/skin_reader_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/quick_ini_test.cpp
  LIBS wl_skin_archive)
