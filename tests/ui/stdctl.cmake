# Tests of the standard and extra controls, glyph buttons, scroll boxes and frames (under Wine).
wl_test(NAME ui_stdctl_test WIN32_ONLY SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/stdctl_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stdctl_form.cpp
  LIBS wl_ui SOAK "StdControls.CreatingAndFreeingTheFormLeaksNoHandles")
if(TARGET ui_stdctl_test)
  wl_form_resources(ui_stdctl_test ${CMAKE_CURRENT_LIST_DIR}/data/stdctl.dfm
                    ${CMAKE_CURRENT_LIST_DIR}/data/stdctl_frame.dfm)
  wl_host_path(stdctl_dfm "${CMAKE_CURRENT_LIST_DIR}/data/stdctl.dfm")
  target_compile_definitions(ui_stdctl_test PRIVATE WL_STDCTL_DFM="${stdctl_dfm}")
endif()
