# Tests of the component model, controls, forms and form files (under Wine).
wl_test(NAME ui_core_test WIN32_ONLY SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/classes_test.cpp
  LIBS wl_ui)
