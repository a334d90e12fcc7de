# Bitmap utilities of the skin engine (Win32, on the UI library's bitmaps).
add_library(wl_skin_bitmaps STATIC ${CMAKE_CURRENT_LIST_DIR}/bitmaps.cpp)
target_include_directories(wl_skin_bitmaps PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(wl_skin_bitmaps PUBLIC wl_ui)
