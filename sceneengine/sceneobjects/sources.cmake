# Sources of scene objects and their kinds.
list(APPEND ENGINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/scene_object.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene_object_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene_object_wiring.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene_object_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sprite_hit_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/kind_descriptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text/text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/timer.cpp
)
