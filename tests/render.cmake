# crane-render's own logic, and pictures drawn on the headless backend.

crane_test(test_crane_render_args test_crane_render_args.cpp LIBS crane_render_support)
crane_test(test_render_image test_render_image.cpp LIBS crane_render_support)

# Tests that draw with Mesa's software rasteriser carry the label render.
function(crane_render_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS render)
endfunction()

# The backend under the real toolkit, with a stand-in program instead of the crane.
crane_render_test(test_render_backend test_render_backend.cpp
  LIBS crane_tk crane_platform_egl OpenGL::OpenGL OpenGL::EGL PkgConfig::GLU)

# What a person would see in crane-render's pictures, run as a separate process.
crane_render_test(test_render_pictures test_render_pictures.cpp LIBS crane_render_support)
target_compile_definitions(test_render_pictures PRIVATE
  CRANE_RENDER_EXE="$<TARGET_FILE:crane-render>")
add_dependencies(test_render_pictures crane-render)

# The same picture from crane in its window under Xvfb and from crane-render: needs both, so
# it carries the labels of either kind (one test, registered directly to give it two labels).
if(TARGET e2e_harness)
  add_executable(test_render_matches_window test_render_matches_window.cpp)
  set_target_properties(test_render_matches_window PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(test_render_matches_window PRIVATE e2e_harness crane_render_support
    GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_render_matches_window PRIVATE
    CRANE_RENDER_EXE="$<TARGET_FILE:crane-render>" CRANE_PROGRAM="$<TARGET_FILE:crane>"
    BUILD_FOLDER="${CMAKE_BINARY_DIR}")
  add_dependencies(test_render_matches_window crane-render crane)
  add_test(NAME WindowAndRender.StillPartOfThePictureMatchesThroughAKeyRepaint
           COMMAND test_render_matches_window WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  set_tests_properties(WindowAndRender.StillPartOfThePictureMatchesThroughAKeyRepaint
                       PROPERTIES LABELS "render;e2e" TIMEOUT 120)
endif()

# ---- crane-render's videos and its progress line ---------------------------------------------
crane_render_test(test_render_video test_render_video.cpp LIBS crane_render_support)
target_compile_definitions(test_render_video PRIVATE CRANE_RENDER_EXE="$<TARGET_FILE:crane-render>")
add_dependencies(test_render_video crane-render)
crane_render_test(test_render_progress test_render_progress.cpp LIBS crane_render_support)
target_compile_definitions(test_render_progress PRIVATE
  CRANE_RENDER_EXE="$<TARGET_FILE:crane-render>")
add_dependencies(test_render_progress crane-render)

# ---- The installed programs, from a temporary prefix ----------------------------------------
if(TARGET dist-files AND TARGET e2e_harness)
  add_executable(test_install test_install.cpp)
  set_target_properties(test_install PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(test_install PRIVATE e2e_harness crane_render_support
    GTest::gtest GTest::gtest_main)
  target_compile_definitions(test_install PRIVATE BUILD_FOLDER="${CMAKE_BINARY_DIR}"
                                                  CMAKE_COMMAND="${CMAKE_COMMAND}")
  add_dependencies(test_install crane crane-render dist-files)
  gtest_discover_tests(test_install WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS "e2e;render" TIMEOUT 120)
endif()
