# skinpack: the host tool that packs skin folders into archives (and lists/unpacks them).
# Included from tools/CMakeLists.txt so the executable lands in build/native/tools/skinpack,
# where the cross builds find it through WL_HOST_TOOLS_DIR.
add_library(wl_skinpack STATIC
  ${CMAKE_CURRENT_LIST_DIR}/lzh_encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/container.cpp)
target_link_libraries(wl_skinpack PUBLIC wl_skin_archive)
target_include_directories(wl_skinpack PUBLIC ${CMAKE_SOURCE_DIR})
add_executable(skinpack ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(skinpack PRIVATE wl_skinpack)
