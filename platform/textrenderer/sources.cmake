# Sources of the textrenderer service.
list(APPEND PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/font_cache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font_fallback.cpp
  ${CMAKE_CURRENT_LIST_DIR}/font_lookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sized_face.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_raster.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_runs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/textrenderer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ttf_renderer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utf8_check.cpp)
