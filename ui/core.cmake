# Component model, published properties, controls, forms, the application object and form files.
list(APPEND WL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/classes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/streams.cpp
  ${CMAKE_CURRENT_LIST_DIR}/formfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/forms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stdctrls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extctrls.cpp
)
