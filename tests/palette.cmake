# Palettes and system colours: the toolkit's rules on the simulated window system (the X11
# backend's palette operations are tested from x11.cmake). The simulated palette device is part
# of sim_platform, which a fragment sorting after this one makes, so the wiring waits until the
# whole folder has been read.
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
endfunction()
cmake_language(DEFER CALL crane_palette_tests)
