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
add_dependencies(memcheck meshes)
add_dependencies(soak meshes)
# The memory check runs the test binaries as built: tests/ makes it depend on them.
