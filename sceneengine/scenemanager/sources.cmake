# Sources of library entry, frame loop, storage, fabrics and scenes.
list(APPEND ENGINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/scene_fabric.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene_object_fabric.cpp
)
