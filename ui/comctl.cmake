# Common controls (comctl32 wrappers) and the media player (winmm).
list(APPEND WL_UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/comctrls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/comctrls_lists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/comctrls_tabs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/comctrls_bars.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mplayer.cpp
)
list(APPEND WL_UI_LIBS winmm)
