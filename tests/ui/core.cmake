# Tests of the component model, controls, forms and form files (under Wine).
wl_test(NAME ui_core_test WIN32_ONLY SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/classes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/formfile_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windowproc_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/subclass_chain_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/messages_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/streams_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/gallery_form.cpp
  LIBS wl_ui
  SOAK "Controls.CreatingAndFreeingFormsLeaksNoHandles:WindowProcs.ThrowingPaintOfAWindowedControlEndsThePaint")
if(TARGET ui_core_test)
  wl_form_resources(ui_core_test ${CMAKE_CURRENT_LIST_DIR}/data/gallery.dfm)
  wl_host_path(gallery_dfm "${CMAKE_CURRENT_LIST_DIR}/data/gallery.dfm")
  target_compile_definitions(ui_core_test PRIVATE WL_GALLERY_DFM="${gallery_dfm}")
endif()
# Menus, image lists, modal forms and message dialogs (Wine).
wl_test(NAME ui_menus_test WIN32_ONLY SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/menus_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/imglist_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialogs_test.cpp
  LIBS wl_ui
  SOAK "Menus.MenuHandlesStayFlatOverCreateAndDestroyCycles:ImageLists.HandlesStayFlatOverCreateAndDestroyCycles")
