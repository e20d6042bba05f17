# Sources of the imageloader service.
list(APPEND PLATFORM_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/decoded_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_bytes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/image_format.cpp
  ${CMAKE_CURRENT_LIST_DIR}/imageloader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jpeg_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/loaders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture_cache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/png_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stb_completeness.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stb_decoders.cpp)
