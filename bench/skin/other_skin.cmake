# A second skin for the skin-switch benchmark: the default skin's art drawn again with another
# palette (warm face, green accent, dark title), packed next to the benchmarks.
if(CMAKE_SCRIPT_MODE_FILE)
  # Script mode: write the recoloured palette (IN -> OUT) and the matching skin.ini colours.
  file(READ ${IN} text)
  foreach(pair "Face=238 241 246|Face=244 236 222" "FaceLight=250 251 253|FaceLight=252 248 240"
               "Accent=52 111 191|Accent=46 140 87" "AccentLight=120 166 226|AccentLight=120 200 150"
               "AccentDark=33 80 145|AccentDark=24 96 56" "TitleTop=66 112 176|TitleTop=70 70 74"
               "TitleBottom=45 87 148|TitleBottom=40 40 44" "Hot=222 233 248|Hot=240 226 200")
    string(REPLACE "|" ";" parts "${pair}")
    list(GET parts 0 from)
    list(GET parts 1 to)
    string(REPLACE "${from}" "${to}" text "${text}")
  endforeach()
  file(WRITE ${OUT} "${text}")
  file(READ ${INI} ini)
  string(REPLACE "ButtonFace=238 241 246" "ButtonFace=244 236 222" ini "${ini}")
  file(WRITE ${INI_OUT} "${ini}")
  return()
endif()

if(WL_HOST_TOOLS_DIR)
  set(other_skinart ${WL_HOST_TOOLS_DIR}/skinart)
  set(other_skinpack ${WL_HOST_TOOLS_DIR}/skinpack)
else()
  set(other_skinart ${CMAKE_BINARY_DIR}/tools/skinart)
  set(other_skinpack ${CMAKE_BINARY_DIR}/tools/skinpack)
endif()
set(other_dir ${CMAKE_CURRENT_BINARY_DIR}/other_skin)
set(WL_OTHER_SKIN_ARCHIVE ${CMAKE_CURRENT_BINARY_DIR}/other.skn)
add_custom_command(OUTPUT ${WL_OTHER_SKIN_ARCHIVE}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${other_dir}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${other_dir}
  COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_SOURCE_DIR}/skins/default/palette.ini
          -DOUT=${CMAKE_CURRENT_BINARY_DIR}/other_palette.ini
          -DINI=${CMAKE_SOURCE_DIR}/skins/default/skin.ini -DINI_OUT=${other_dir}/skin.ini
          -P ${CMAKE_CURRENT_LIST_FILE}
  COMMAND ${other_skinart} ${CMAKE_CURRENT_BINARY_DIR}/other_palette.ini ${other_dir}
  COMMAND ${other_skinpack} pack ${other_dir} ${WL_OTHER_SKIN_ARCHIVE}
  DEPENDS ${CMAKE_CURRENT_LIST_FILE} ${CMAKE_SOURCE_DIR}/skins/default/palette.ini
          ${CMAKE_SOURCE_DIR}/skins/default/skin.ini
  COMMENT "Drawing and packing the benchmark's second skin")
add_custom_target(wl_other_skin DEPENDS ${WL_OTHER_SKIN_ARCHIVE})
