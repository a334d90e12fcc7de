# Component model, published properties, controls, forms, the application object and form files.
list(APPEND WL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/classes.cpp
)
