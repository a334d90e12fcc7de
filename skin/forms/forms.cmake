# Win32 part of window frame skinning: TWinSkinForm (life cycle and dispatch, frame painting,
# title-bar buttons) and the companion discovery hooks.
set(forms_sources
  ${CMAKE_CURRENT_LIST_DIR}/skin_companion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_manage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win_skin_form.cpp)
# The painting and title-button parts are written separately; each joins the library once it
# exists.
foreach(part frame_paint title_buttons window_actions menu_bar form_menu menu_items popup_menu form_fitting)
  if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/${part}.cpp)
    list(APPEND forms_sources ${CMAKE_CURRENT_LIST_DIR}/${part}.cpp)
  endif()
endforeach()
add_library(wl_skin_forms STATIC ${forms_sources})
# Skin data comes whole, as everywhere: its component is named only in form definitions.
target_link_libraries(wl_skin_forms PUBLIC "$<LINK_LIBRARY:WHOLE_ARCHIVE,wl_skin_data>" wl_skin_draw wl_ui)
target_include_directories(wl_skin_forms PUBLIC ${CMAKE_SOURCE_DIR})
