# Every source file of this folder is a part of the companion library: each control family
# lives in a file of its own and registers its classes by name, so adding a family is adding a
# file.
file(GLOB controls_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_library(wl_skin_controls STATIC ${controls_sources})
target_link_libraries(wl_skin_controls PUBLIC wl_skin_forms)
target_include_directories(wl_skin_controls PUBLIC ${CMAKE_SOURCE_DIR})
