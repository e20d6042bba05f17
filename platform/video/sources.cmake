# Sources of the video service: the device registry, the store that every
# backend shares, the headless backend and the SDL window backend.
list(APPEND PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/video_registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stored_video_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/screen_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sprite_placement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pixel_compose.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_snapshot.cpp
  ${CMAKE_CURRENT_LIST_DIR}/headless_device.cpp
  ${CMAKE_CURRENT_LIST_DIR}/utf8_decode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sdl_device.cpp
)
