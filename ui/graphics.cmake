# Graphics of the user-interface library: colours, fonts, canvases, bitmaps, icons, clipboard,
# printer.
list(APPEND WL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/graphics_colors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graphics_bitmap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/imglist.cpp
)
list(APPEND WL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/clipbrd.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printers.cpp
)
list(APPEND WL_UI_LIBS wl_bmp_format)
