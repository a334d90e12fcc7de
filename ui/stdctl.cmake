# Glyph buttons, scroll boxes and frames (the standard and extra controls themselves are in
# stdctrls.cpp and extctrls.cpp, listed in core.cmake).
list(APPEND WL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/buttons.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frames.cpp
)
list(APPEND WL_UI_LIBS wl_button_layout)
