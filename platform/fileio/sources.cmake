# Sources of the fileio service.
list(APPEND PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/file_manager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_reading.cpp)
