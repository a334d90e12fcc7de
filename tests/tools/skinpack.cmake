wl_test(NAME tools_skinpack_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/skinpack_test.cpp
        LIBS wl_skinpack)
