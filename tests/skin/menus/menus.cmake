# The menu bar, the skin-drawn items and the popup menu windows, driven with real menus; the
# window-free rules of layout, accelerators and separators in the same program. Linked like the
# program: the control discovery that runs when a form is skinned comes in whole.
wl_test(NAME skin_menus_test
  SOURCES ${CMAKE_SOURCE_DIR}/tests/skin/forms/forms_fixture.cpp ${CMAKE_CURRENT_LIST_DIR}/menu_driver.cpp
          ${CMAKE_CURRENT_LIST_DIR}/menu_rules_test.cpp ${CMAKE_CURRENT_LIST_DIR}/menu_bar_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/menu_items_test.cpp ${CMAKE_CURRENT_LIST_DIR}/mdi_menu_test.cpp
  LIBS wl_skin_forms "$<LINK_LIBRARY:WHOLE_ARCHIVE,wl_skin_controls>" wl_test_skinpack WIN32_ONLY TIMEOUT 600
  SOAK MenuItemsTest.HandleCountsStayFlatOverManyPopups)
if(TARGET skin_menus_test)
  wl_host_path(menus_default_skin "${WL_DEFAULT_SKIN_ARCHIVE}")
  target_compile_definitions(skin_menus_test PRIVATE WL_DEFAULT_SKIN="${menus_default_skin}")
  target_include_directories(skin_menus_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/skin/forms
                             ${CMAKE_SOURCE_DIR}/tests/skin/data)
  add_dependencies(skin_menus_test wl_default_skin)
endif()
