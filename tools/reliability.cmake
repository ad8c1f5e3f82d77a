# Memory checks, not part of the test suite: heavy runs with targets of their own.
#   memcheck: every unit-test binary and one headless pass under valgrind's memcheck
#   soak:     20,000 headless frames with the resident memory sampled
set(reliability_dir ${CMAKE_CURRENT_LIST_DIR}/reliability)
add_custom_target(memcheck
  COMMAND bash ${reliability_dir}/memcheck.sh ${CMAKE_BINARY_DIR}
  DEPENDS crane-render WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
add_custom_target(soak
  COMMAND python3 ${reliability_dir}/soak.py ${CMAKE_BINARY_DIR} 20000
  DEPENDS crane-render WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
if(TARGET meshes)
  add_dependencies(memcheck meshes)
  add_dependencies(soak meshes)
endif()

# The memory check runs the test binaries as built: make it build them first. The tests
# folder is read after this one, so the wiring waits until the whole project has been read.
function(crane_memcheck_depends_on_tests)
  if(NOT CRANE_TESTS)
    return()
  endif()
  get_property(test_targets DIRECTORY ${CMAKE_SOURCE_DIR}/tests PROPERTY BUILDSYSTEM_TARGETS)
  foreach(t ${test_targets})
    get_target_property(kind ${t} TYPE)
    if(kind STREQUAL "EXECUTABLE")
      add_dependencies(memcheck ${t})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL crane_memcheck_depends_on_tests)
