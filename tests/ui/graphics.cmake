# Graphics, clipboard and printer tests (Wine). The resource file gives the tests an RT_BITMAP.
configure_file(${CMAKE_CURRENT_LIST_DIR}/graphics.rc.in ${CMAKE_CURRENT_BINARY_DIR}/graphics.rc @ONLY)
wl_test(NAME ui_graphics_test WIN32_ONLY
        SOURCES ${CMAKE_CURRENT_LIST_DIR}/graphics_test.cpp
                ${CMAKE_CURRENT_LIST_DIR}/clipbrd_printers_test.cpp
                ${CMAKE_CURRENT_BINARY_DIR}/graphics.rc
        LIBS wl_ui SOAK "Graphics.GdiObjectCountStaysFlat")
