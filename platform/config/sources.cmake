# Sources of the config service.
list(APPEND PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/config_registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/quillbox_config.cpp
  ${CMAKE_CURRENT_LIST_DIR}/yaml_flattener.cpp)
