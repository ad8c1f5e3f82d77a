# Tests of the mesh generator (assets/) and of the seventeen files it writes into the build
# folder, which the tests read from there through the program's own reader.
crane_test(test_mesh_builder test_mesh_builder.cpp LIBS crane_assets crane_mesh gl_recorder
  DEPENDS meshes)
crane_test(test_mesh_files test_mesh_files.cpp LIBS crane_mesh gl_recorder DEPENDS meshes)
