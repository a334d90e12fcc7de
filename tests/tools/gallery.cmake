# The controls gallery under Wine: a picture of every page, handle counts, and the Skin menu with
# the system's Open dialog (whose leak loop alone takes about a minute under Wine).
if(TARGET wl_gallery)
  wl_test(NAME tools_gallery_test WIN32_ONLY TIMEOUT 600 SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/gallery_test.cpp
    LIBS wl_gallery SOAK "Gallery.CreatingAndFreeingTheGalleryLeaksNoHandles")
  if(TARGET tools_gallery_test)
    target_sources(tools_gallery_test PRIVATE $<TARGET_OBJECTS:wl_gallery_resources>)
    # The second built-in skin, loaded from its file.
    wl_host_path(gallery_alt_skin "${WL_ALT_SKIN_ARCHIVE}")
    target_compile_definitions(tools_gallery_test PRIVATE WL_ALT_SKIN="${gallery_alt_skin}")
    add_dependencies(tools_gallery_test wl_alt_skin)
  endif()
endif()
