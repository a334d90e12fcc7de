# Skin bitmap utilities, on real bitmaps and device contexts under Wine.
wl_test(NAME skin_bitmaps_test WIN32_ONLY SOURCES ${CMAKE_CURRENT_LIST_DIR}/bitmaps_test.cpp
        LIBS wl_skin_bitmaps)
