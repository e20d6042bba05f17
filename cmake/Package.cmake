# Installs the two libraries, the headers a host includes (the services and
# the library's public headers; the platform's stay inside), sceneplay, a
# CMake package (find_package(sceneengine)) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS sceneengine sceneplatform EXPORT sceneengineTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/sceneengine)
install(DIRECTORY services DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/sceneengine FILES_MATCHING PATTERN "*.h")
install(DIRECTORY sceneengine DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/sceneengine FILES_MATCHING PATTERN "*.h"
  PATTERN "internal" EXCLUDE)
install(EXPORT sceneengineTargets NAMESPACE sceneengine:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/sceneengine)

configure_package_config_file(cmake/sceneengineConfig.cmake.in
  ${PROJECT_BINARY_DIR}/sceneengineConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/sceneengine)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/sceneengineConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/sceneengineConfig.cmake ${PROJECT_BINARY_DIR}/sceneengineConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/sceneengine)

configure_file(cmake/sceneengine.pc.in ${PROJECT_BINARY_DIR}/sceneengine.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/sceneengine.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
