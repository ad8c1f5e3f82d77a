# The simulated platform backend and the toolkit tests that run on it.
add_library(sim_platform STATIC ${CMAKE_CURRENT_LIST_DIR}/sim_platform.cpp)
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/sim_palette.cpp)
  target_sources(sim_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/sim_palette.cpp)
endif()

foreach(t test_tk_open test_tk_register test_tk_pixel_format test_tk_events test_tk_loop)
  if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/${t}.cpp)
    crane_test(${t} ${CMAKE_CURRENT_LIST_DIR}/${t}.cpp LIBS crane_tk sim_platform gl_recorder)
  endif()
endforeach()
