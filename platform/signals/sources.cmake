# Sources of the signals service.
list(APPEND PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/signal.cpp
  ${CMAKE_CURRENT_LIST_DIR}/signal_bus.cpp)
