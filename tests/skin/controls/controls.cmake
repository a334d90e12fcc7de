# One test program per control family (each *_test.cpp of this folder), sharing one fixture:
# the families are tested apart so that a hanging control cannot take the others with it.
add_library(wl_controls_fixture STATIC ${CMAKE_CURRENT_LIST_DIR}/controls_fixture.cpp)
target_link_libraries(wl_controls_fixture PUBLIC "$<LINK_LIBRARY:WHOLE_ARCHIVE,wl_skin_controls>"
                      wl_test_support wl_gtest wl_test_skinpack)
target_include_directories(wl_controls_fixture PUBLIC ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_LIST_DIR})
wl_host_path(controls_default_skin "${WL_DEFAULT_SKIN_ARCHIVE}")
wl_host_path(controls_binary_dir "${CMAKE_CURRENT_BINARY_DIR}")
target_compile_definitions(wl_controls_fixture PUBLIC WL_DEFAULT_SKIN="${controls_default_skin}"
                           WL_BINARY_DIR_CONTROLS="${controls_binary_dir}")
add_dependencies(wl_controls_fixture wl_default_skin)
wl_test_code(wl_controls_fixture)
# The second skin, for tests that check what differs between skins.
wl_host_path(controls_alt_skin "${WL_ALT_SKIN_ARCHIVE}")
target_compile_definitions(wl_controls_fixture PUBLIC WL_ALT_SKIN="${controls_alt_skin}")
add_dependencies(wl_controls_fixture wl_alt_skin)

file(GLOB controls_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*_test.cpp)
foreach(source ${controls_tests})
  get_filename_component(stem ${source} NAME_WE)
  # A family's leak loops (named for what they keep flat) also run in the soak tier.
  set(soak_filter)
  file(STRINGS ${source} leak_tests REGEX "^TEST_F\\(.*(NoHandlesBehind|StayFlat|HandleCountsFlat)")
  if(leak_tests)
    set(soak_filter SOAK "*NoHandlesBehind*:*StayFlat*:*HandleCountsFlat*")
  endif()
  wl_test(NAME skin_${stem} SOURCES ${source} LIBS wl_controls_fixture WIN32_ONLY ${soak_filter})
endforeach()
# Status bars with images: the test makes its image lists with comctl32 directly.
if(TARGET skin_statusbars_test)
  target_link_libraries(skin_statusbars_test PRIVATE comctl32)
endif()
# The gallery's skinned pages and skin switching: the gallery form and its resources.
if(TARGET skin_gallery_skin_test AND TARGET wl_gallery)
  target_link_libraries(skin_gallery_skin_test PRIVATE wl_gallery)
  target_sources(skin_gallery_skin_test PRIVATE $<TARGET_OBJECTS:wl_gallery_resources>)
  set_tests_properties(skin_gallery_skin_test PROPERTIES TIMEOUT 600 ENVIRONMENT "WL_WINE_TIMEOUT=600")
endif()
