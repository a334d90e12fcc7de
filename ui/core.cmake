# Component model, published properties, controls, forms, the application object and form files.
list(APPEND WL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/classes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/streams.cpp
  ${CMAKE_CURRENT_LIST_DIR}/formfile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wincontrol.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wincontrol_focus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wincontrol_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wincontrol_dispatch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/subclass.cpp
  ${CMAKE_CURRENT_LIST_DIR}/forms.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stdctrls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/extctrls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
)

# wl_form_resources(target file.dfm ...)
# Compiles form definitions into the target as RCDATA resources, each named after the class on
# its first line ("object Fmain: TFmain" gives the resource TFMAIN), which is where
# TCustomForm::ReadDefinition looks for it.
function(wl_form_resources target)
  set(rc "${CMAKE_CURRENT_BINARY_DIR}/${target}_forms.rc")
  set(content "")
  foreach(dfm ${ARGN})
    get_filename_component(path "${dfm}" ABSOLUTE)
    file(STRINGS "${path}" first LIMIT_COUNT 1)
    string(REGEX MATCH "^[ \t]*(object|inherited)[ \t]+([A-Za-z_0-9]+[ \t]*:[ \t]*)?([A-Za-z_][A-Za-z_0-9]*)" _ "${first}")
    if(NOT CMAKE_MATCH_3)
      message(FATAL_ERROR "${dfm}: the first line must be 'object Name: TClass'")
    endif()
    string(TOUPPER "${CMAKE_MATCH_3}" name)
    string(APPEND content "${name} RCDATA \"${path}\"\n")
    set_property(SOURCE "${rc}" APPEND PROPERTY OBJECT_DEPENDS "${path}")
  endforeach()
  file(GENERATE OUTPUT "${rc}" CONTENT "${content}")
  target_sources(${target} PRIVATE "${rc}")
endfunction()
