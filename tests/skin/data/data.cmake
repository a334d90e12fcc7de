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

# skinpreview on the default skin: the contact sheet is written as an artifact; the dump is
# checked for the first slot line, a title-button line and a colour line.
if(TARGET skinpreview AND WL_TESTS)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/artifacts)
  wl_host_path(sheet_path "${CMAKE_BINARY_DIR}/artifacts/default_skin_sheet.bmp")
  add_test(NAME skinpreview_sheet COMMAND skinpreview "${default_skin_path}" "${sheet_path}")
  set_tests_properties(skinpreview_sheet PROPERTIES PASS_REGULAR_EXPRESSION "sheet [0-9]+x[0-9]+ written")
  add_test(NAME skinpreview_dump COMMAND skinpreview --dump "${default_skin_path}")
  set_tests_properties(skinpreview_dump PROPERTIES PASS_REGULAR_EXPRESSION
    "BorderLeft Frame=2 LeftWidth=0 TopHeight=0 RightWidth=0 BottomHeight=0 Trans=0 Tile=1 Style=0 Image=8x40 Image2=0x0.*SysButton BUTTON1 Action=0 Align=1 Xcoord=30 Ycoord=4 Visibility=3 Visibility1=0 CombineOp=-1 Frame=3 Image=72x18.*Colour ButtonFace=00F6F1EE")
  add_test(NAME skinpreview_bad_archive COMMAND skinpreview --dump "${sheet_path}.missing")
  set_tests_properties(skinpreview_bad_archive PROPERTIES WILL_FAIL TRUE)
endif()
