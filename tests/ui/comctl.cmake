# Tests of the common controls and the media player (under Wine).
wl_test(NAME ui_comctl_test WIN32_ONLY SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/comctrls_form.cpp
  ${CMAKE_CURRENT_LIST_DIR}/comctrls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/comctrls_lists_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/collection_changes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mplayer_test.cpp
  LIBS wl_ui SOAK "ComCtl.CreatingAndFreeingTheFormLeaksNoHandles")
if(TARGET ui_comctl_test)
  wl_host_path(comctl_dfm "${CMAKE_CURRENT_LIST_DIR}/data/comctrls.dfm")
  target_compile_definitions(ui_comctl_test PRIVATE WL_COMCTL_DFM="${comctl_dfm}")
endif()
