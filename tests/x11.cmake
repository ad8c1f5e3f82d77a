# The X11 backend's own tests, each binary on a private Xvfb screen of the depth it needs.
function(crane_x11_test name binary depth)
  add_executable(${binary} ${CMAKE_CURRENT_SOURCE_DIR}/${binary}.cpp)
  set_target_properties(${binary} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${binary} PRIVATE crane_platform_x11 GTest::gtest GTest::gtest_main)
  find_program(XVFB_RUN xvfb-run)
  if(XVFB_RUN)
    add_test(NAME ${name} COMMAND ${XVFB_RUN} -a -s "-screen 0 640x480x${depth}"
      $<TARGET_FILE:${binary}>)
  else()
    add_test(NAME ${name} COMMAND ${binary})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS x11 TIMEOUT 120)
endfunction()

if(TARGET crane_platform_x11)
  # The colormap cases need a display with an 8-bit PseudoColor visual.
  crane_x11_test(x11_palette test_x11_palette 8)
  # Pixel formats against what GLX says of each visual, on a true-colour screen.
  crane_x11_test(x11_pixel_format test_x11_pixel_format 24)
endif()

# The toolkit's own window on a bare server: keys, repaints, focus and showing the window.
if(TARGET crane_platform_x11 AND TARGET crane_tk)
  crane_x11_test(x11_events test_x11_events 24)
  target_link_libraries(test_x11_events PRIVATE crane_tk crane_platform_x11 OpenGL::OpenGL X11::Xtst)
endif()
