# The form skin object and the manager, driven with real windows and real messages.
wl_test(NAME skin_forms_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/forms_fixture.cpp ${CMAKE_CURRENT_LIST_DIR}/skin_form_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/skin_manage_test.cpp ${CMAKE_CURRENT_LIST_DIR}/hostile_skin_test.cpp
          ${CMAKE_CURRENT_LIST_DIR}/mdi_test.cpp
  LIBS wl_skin_forms wl_test_skinpack WIN32_ONLY SOAK SkinFormsTest.HandleCountsStayFlat)
if(TARGET skin_forms_test)
  wl_host_path(forms_default_skin "${WL_DEFAULT_SKIN_ARCHIVE}")
  target_compile_definitions(skin_forms_test PRIVATE WL_DEFAULT_SKIN="${forms_default_skin}")
  target_include_directories(skin_forms_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/skin/data)
  add_dependencies(skin_forms_test wl_default_skin)
  wl_host_path(forms_binary_dir "${CMAKE_CURRENT_BINARY_DIR}")
  target_compile_definitions(skin_forms_test PRIVATE WL_BINARY_DIR_FORMS="${forms_binary_dir}")
  # Hostile skins also go through the preview tool's contact sheet.
  if(TARGET skinpreview)
    target_compile_definitions(skin_forms_test PRIVATE WL_SKINPREVIEW="Z:$<TARGET_FILE:skinpreview>")
    add_dependencies(skin_forms_test skinpreview)
  endif()
endif()
