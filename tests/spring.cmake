# Trig tables, the spring and the toolkit's display-list box.
crane_test(test_trig_table test_trig_table.cpp LIBS crane_spring gl_recorder)
crane_test(test_spring test_spring.cpp LIBS crane_spring gl_recorder)
crane_test(test_tk_shapes test_tk_shapes.cpp LIBS crane_tk gl_recorder)
