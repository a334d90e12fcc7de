# Win32 tests of skin data. Synthetic skins are packed inside the tests with the packer's own
# container writer and compressor, compiled for Windows here.
add_library(wl_test_skinpack STATIC
  ${CMAKE_SOURCE_DIR}/tools/skinpack/lzh_encoder.cpp
  ${CMAKE_SOURCE_DIR}/tools/skinpack/container.cpp)
target_link_libraries(wl_test_skinpack PUBLIC wl_skin_archive)
target_include_directories(wl_test_skinpack PUBLIC ${CMAKE_SOURCE_DIR})

wl_test(NAME skin_data_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/skin_load_test.cpp ${CMAKE_CURRENT_LIST_DIR}/skin_data_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/skin_form_test.cpp
  LIBS wl_skin_data wl_test_skinpack WIN32_ONLY)
if(TARGET skin_data_test)
  wl_host_path(default_skin_path "${WL_DEFAULT_SKIN_ARCHIVE}")
  target_compile_definitions(skin_data_test PRIVATE WL_DEFAULT_SKIN="${default_skin_path}")
  add_dependencies(skin_data_test wl_default_skin)
endif()
