# Palettes and system colours: the toolkit's rules on the simulated window system, and the
# X11 backend's palette operations. The simulated palette device is part of sim_platform,
# which a fragment sorting after this one makes, so the wiring waits until the whole folder
# has been read.
function(crane_palette_tests)
  if(TARGET sim_platform)
    set(sim_palette ${CMAKE_CURRENT_SOURCE_DIR}/sim_palette.cpp)
    get_target_property(sim_sources sim_platform SOURCES)
    if(NOT sim_palette IN_LIST sim_sources)
      target_sources(sim_platform PRIVATE ${sim_palette})
    endif()
    crane_test(test_tk_palette ${CMAKE_CURRENT_SOURCE_DIR}/test_tk_palette.cpp
      LIBS crane_tk sim_platform gl_recorder)
  else()
    message(WARNING "sim_platform is missing: the palette tests are not built")
  endif()

  if(TARGET crane_platform_x11)
    # The colormap cases need a display with an 8-bit PseudoColor visual: run the whole binary
    # on a private Xvfb screen of that depth.
    add_executable(test_x11_palette ${CMAKE_CURRENT_SOURCE_DIR}/test_x11_palette.cpp)
    set_target_properties(test_x11_palette PROPERTIES RUNTIME_OUTPUT_DIRECTORY
      ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(test_x11_palette PRIVATE crane_platform_x11 GTest::gtest
      GTest::gtest_main)
    find_program(XVFB_RUN xvfb-run)
    if(XVFB_RUN)
      add_test(NAME x11_palette COMMAND ${XVFB_RUN} -a -s "-screen 0 640x480x8"
        $<TARGET_FILE:test_x11_palette>)
    else()
      add_test(NAME x11_palette COMMAND test_x11_palette)
    endif()
    set_tests_properties(x11_palette PROPERTIES LABELS x11 TIMEOUT 120)

    # Pixel formats against what GLX says of each visual, on a true-colour screen.
    add_executable(test_x11_pixel_format ${CMAKE_CURRENT_SOURCE_DIR}/test_x11_pixel_format.cpp)
    set_target_properties(test_x11_pixel_format PROPERTIES RUNTIME_OUTPUT_DIRECTORY
      ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(test_x11_pixel_format PRIVATE crane_platform_x11 GTest::gtest
      GTest::gtest_main)
    if(XVFB_RUN)
      add_test(NAME x11_pixel_format COMMAND ${XVFB_RUN} -a -s "-screen 0 640x480x24"
        $<TARGET_FILE:test_x11_pixel_format>)
    else()
      add_test(NAME x11_pixel_format COMMAND test_x11_pixel_format)
    endif()
    set_tests_properties(x11_pixel_format PROPERTIES LABELS x11 TIMEOUT 120)
  endif()
endfunction()
cmake_language(DEFER CALL crane_palette_tests)
