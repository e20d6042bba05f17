# One helper per kind of target: each sets the standard, the warnings,
# visibility, include paths and sanitizers the same way.

set(SCENE_WARNINGS -Wall -Wextra)
# Our own builds (./dev, CI) turn warnings into errors; a user's or packager's
# build with another compiler version must not stop on a new warning.
if(SCENEENGINE_WERROR)
  list(APPEND SCENE_WARNINGS -Werror)
endif()
set(SCENE_SANITIZE_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

function(scene_setup_target target)
  target_compile_options(${target} PRIVATE ${SCENE_WARNINGS})
  target_compile_features(${target} PUBLIC cxx_std_20)
  if(SCENEENGINE_SANITIZE)
    target_compile_options(${target} PRIVATE ${SCENE_SANITIZE_FLAGS})
    target_link_options(${target} PRIVATE ${SCENE_SANITIZE_FLAGS})
  endif()
  if(SCENEENGINE_FUZZ)
    # Coverage for the fuzzers in every library; only fuzz targets link the fuzzer's main.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# scene_add_library(name SOURCES ... [LINK ...] [PUBLIC_LINK ...])
function(scene_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;PUBLIC_LINK" ${ARGN})
  add_library(${name} SHARED ${ARG_SOURCES})
  scene_setup_target(${name})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/sceneengine>)
  target_link_libraries(${name} PRIVATE ${ARG_LINK} PUBLIC ${ARG_PUBLIC_LINK})
  set_target_properties(${name} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
endfunction()

# scene_add_executable(name SOURCES ... [LINK ...])
function(scene_add_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  scene_setup_target(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
endfunction()

# scene_add_test(name SOURCES ... [LINK ...] [LABELS ...]): a GoogleTest suite run by CTest.
function(scene_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;LABELS" ${ARGN})
  scene_add_executable(${name} SOURCES ${ARG_SOURCES} LINK ${ARG_LINK} GTest::gtest GTest::gtest_main GTest::gmock)
  # Where the suites find their fixtures: __FILE__ may be relative (ccache's base_dir rewrites it).
  target_compile_definitions(${name} PRIVATE SCENE_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS}"
    TIMEOUT 300
    ENVIRONMENT "SCENE_SOURCE_DIR=${PROJECT_SOURCE_DIR};SCENE_BINARY_DIR=${PROJECT_BINARY_DIR}")
endfunction()

# scene_add_fuzzer(name SOURCES ... [LINK ...]): a libFuzzer target.
function(scene_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${SCENE_WARNINGS} -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
endfunction()
