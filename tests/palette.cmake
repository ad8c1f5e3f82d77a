# Palettes and system colours on the simulated window system. The simulated palette device is
# part of sim_platform; the target may be made by a fragment that sorts after this one, so the
# wiring waits until the whole folder has been read.
function(crane_palette_tests)
  if(NOT TARGET sim_platform)
    message(WARNING "sim_platform is missing: the palette tests are not built")
    return()
  endif()
  set(sim_palette ${CMAKE_CURRENT_SOURCE_DIR}/sim_palette.cpp)
  get_target_property(sim_sources sim_platform SOURCES)
  if(NOT sim_palette IN_LIST sim_sources AND NOT sim_palette.cpp IN_LIST sim_sources)
    target_sources(sim_platform PRIVATE ${sim_palette})
  endif()
  crane_test(test_tk_palette ${CMAKE_CURRENT_SOURCE_DIR}/test_tk_palette.cpp
    LIBS crane_tk sim_platform gl_recorder)
endfunction()
cmake_language(DEFER CALL crane_palette_tests)
