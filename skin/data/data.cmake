# Win32 part of skin data: element records, the skin load, TSkinData and the manager's state.
#
# Host tools (native build, or WL_HOST_TOOLS_DIR for cross builds) draw the program's built-in
# bitmaps and the default skin, and pack the default skin into an archive at build time.
if(WL_HOST_TOOLS_DIR)
  set(WL_SKINART ${WL_HOST_TOOLS_DIR}/skinart)
  set(WL_SKINPACK ${WL_HOST_TOOLS_DIR}/skinpack)
else()
  set(WL_SKINART ${CMAKE_BINARY_DIR}/tools/skinart)
  set(WL_SKINPACK ${CMAKE_BINARY_DIR}/tools/skinpack)
endif()

# Built-in bitmap resources: the default track grooves, the system-menu glyphs and the media
# player's button glyphs (enabled, disabled and coloured form of each kind).
set(builtin_dir ${CMAKE_CURRENT_BINARY_DIR}/builtin)
set(builtin_bmps ${builtin_dir}/builtin_track.bmp ${builtin_dir}/builtin_trackvert.bmp
    ${builtin_dir}/builtin_tervikmenu.bmp)
set(media_glyph_rc "")
foreach(glyph mpplay mppause mpstop mpnext mpprev mpstep mpback mprecord mpeject)
  foreach(form en di cl)
    list(APPEND builtin_bmps ${builtin_dir}/${form}_${glyph}.bmp)
    string(TOUPPER "${form}_${glyph}" resource)
    string(APPEND media_glyph_rc "${resource} BITMAP \"${builtin_dir}/${form}_${glyph}.bmp\"\n")
  endforeach()
endforeach()
add_custom_command(OUTPUT ${builtin_bmps}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${builtin_dir}
  COMMAND ${WL_SKINART} --builtin ${builtin_dir}
  DEPENDS ${WL_SKINART}
  COMMENT "Drawing the built-in skin bitmaps")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/builtin.rc.in
  "TRACK BITMAP \"${builtin_dir}/builtin_track.bmp\"\n"
  "TRACKVERT BITMAP \"${builtin_dir}/builtin_trackvert.bmp\"\n"
  "TERVIKMENU BITMAP \"${builtin_dir}/builtin_tervikmenu.bmp\"\n"
  "${media_glyph_rc}")
configure_file(${CMAKE_CURRENT_BINARY_DIR}/builtin.rc.in ${CMAKE_CURRENT_BINARY_DIR}/builtin.rc
               COPYONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/builtin.rc PROPERTIES
                            OBJECT_DEPENDS "${builtin_bmps}")
add_library(wl_skin_builtin OBJECT ${CMAKE_CURRENT_BINARY_DIR}/builtin.rc ${builtin_bmps})

add_library(wl_skin_data STATIC
  ${CMAKE_CURRENT_LIST_DIR}/skin_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_dump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/skin_slots.cpp)
target_link_libraries(wl_skin_data PUBLIC wl_skin_values wl_skin_draw wl_skin_bitmaps wl_ui)
# Resources in a static library would be dropped by the linker (nothing refers to them), so
# every executable that links skin data compiles the built-in resources in itself. Only
# executables: a static library in between would carry a second copy, which clashes when it is
# linked whole.
target_sources(wl_skin_data INTERFACE
  $<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:$<TARGET_OBJECTS:wl_skin_builtin>>)
add_dependencies(wl_skin_data wl_skin_builtin)

# The default skin archive (skins/default drawn by skinart, packed by skinpack). Forms embed it
# as their "SkinStream"; WL_DEFAULT_SKIN_ARCHIVE is its path and wl_default_skin the target
# that makes it.
set(default_src ${CMAKE_SOURCE_DIR}/skins/default)
set(default_dir ${CMAKE_BINARY_DIR}/skins/default)
set(WL_DEFAULT_SKIN_ARCHIVE ${CMAKE_BINARY_DIR}/skins/wordlark.skn CACHE INTERNAL
    "The default skin archive")
add_custom_command(OUTPUT ${WL_DEFAULT_SKIN_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${default_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${default_dir}
  COMMAND ${WL_SKINART} ${default_src}/palette.ini ${default_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${default_src}/skin.ini ${default_dir}/skin.ini
  COMMAND ${WL_SKINPACK} pack ${default_dir} ${WL_DEFAULT_SKIN_ARCHIVE}
  DEPENDS ${WL_SKINART} ${WL_SKINPACK} ${default_src}/palette.ini ${default_src}/skin.ini
  COMMENT "Drawing and packing the default skin")
add_custom_target(wl_default_skin DEPENDS ${WL_DEFAULT_SKIN_ARCHIVE})

# A second skin (skins/alt: another palette, thicker borders, smaller title-bar buttons) made
# the same way, for tests and tools that must not depend on the default skin's numbers.
set(alt_src ${CMAKE_SOURCE_DIR}/skins/alt)
set(alt_dir ${CMAKE_BINARY_DIR}/skins/alt)
set(WL_ALT_SKIN_ARCHIVE ${CMAKE_BINARY_DIR}/skins/wordlark-alt.skn CACHE INTERNAL
    "The second skin archive")
add_custom_command(OUTPUT ${WL_ALT_SKIN_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${alt_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${alt_dir}
  COMMAND ${WL_SKINART} ${alt_src}/palette.ini ${alt_dir}
  COMMAND ${CMAKE_COMMAND} -E copy ${alt_src}/skin.ini ${alt_dir}/skin.ini
  COMMAND ${WL_SKINPACK} pack ${alt_dir} ${WL_ALT_SKIN_ARCHIVE}
  DEPENDS ${WL_SKINART} ${WL_SKINPACK} ${alt_src}/palette.ini ${alt_src}/skin.ini
  COMMENT "Drawing and packing the second skin")
add_custom_target(wl_alt_skin DEPENDS ${WL_ALT_SKIN_ARCHIVE})
