# Sources of library entry, frame loop, storage, fabrics and scenes.
list(APPEND ENGINE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/scene_fabric.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene_object_fabric.cpp
  ${CMAKE_CURRENT_LIST_DIR}/library_state.cpp
  ${CMAKE_CURRENT_LIST_DIR}/builtin_fabrics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_loop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_pump.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene/scene.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene/scene_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene/scene_draw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene/scene_input.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scene/scene_activation.cpp
)
