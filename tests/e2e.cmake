# End-to-end tests: the real program under a private Xvfb, driven with real key presses.
add_library(e2e_harness STATIC ${CMAKE_CURRENT_LIST_DIR}/e2e/e2e_harness.cpp)
target_link_libraries(e2e_harness PUBLIC X11::X11 X11::Xtst)

# A program that makes the toolkit show its error box on the display.
add_executable(tk_error_box ${CMAKE_CURRENT_LIST_DIR}/e2e/tk_error_box.cpp)
set_target_properties(tk_error_box PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(tk_error_box PRIVATE crane_tk crane_platform_x11 OpenGL::OpenGL
                      OpenGL::GLX X11::X11)

foreach(t test_e2e_crane test_e2e_display_lost test_e2e_error_box test_e2e_animation)
  add_executable(${t} ${CMAKE_CURRENT_LIST_DIR}/e2e/${t}.cpp)
  set_target_properties(${t} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${t} PRIVATE CRANE_PROGRAM="$<TARGET_FILE:crane>"
                                          ERROR_BOX_PROGRAM="$<TARGET_FILE:tk_error_box>"
                                          BUILD_FOLDER="${CMAKE_BINARY_DIR}")
  target_link_libraries(${t} PRIVATE e2e_harness GTest::gtest GTest::gtest_main)
  add_dependencies(${t} crane tk_error_box)
  if(TARGET meshes)
    add_dependencies(${t} meshes)
  endif()
  gtest_discover_tests(${t} WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS e2e TIMEOUT 600)
endforeach()
