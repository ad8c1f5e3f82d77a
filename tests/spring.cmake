# Trig tables, the spring and the toolkit's display-list box.
crane_test(test_trig_table ${CMAKE_CURRENT_LIST_DIR}/test_trig_table.cpp LIBS crane_spring gl_recorder)
crane_test(test_spring ${CMAKE_CURRENT_LIST_DIR}/test_spring.cpp LIBS crane_spring gl_recorder)
crane_test(test_tk_shapes ${CMAKE_CURRENT_LIST_DIR}/test_tk_shapes.cpp LIBS crane_tk gl_recorder)
