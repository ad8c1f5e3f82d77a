# Tests of the mesh area: reader, model, catalogue, the bad-input table, start-up order, fuzzing.

crane_test(test_asc_reader test_asc_reader.cpp LIBS crane_mesh gl_recorder test_support)
crane_test(test_asc_model test_asc_model.cpp LIBS crane_mesh gl_recorder test_support)

# One model built by the real constructor from argv[1]: rejected files end it as they end the
# program.
add_executable(asc_load_main asc_load_main.cpp)
set_target_properties(asc_load_main PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(asc_load_main PRIVATE crane_mesh gl_recorder)

crane_test(test_asc_bad_input test_asc_bad_input.cpp LIBS test_support DEPENDS asc_load_main
  DEFINES ASC_LOAD_MAIN="$<TARGET_FILE:asc_load_main>")

# Seventeen small meshes in the catalogue's names, model k with k + 2 vertices, so that each
# global can be checked against its own file without the generated scene meshes.
set(ASC_CATALOGUE_DIR ${CMAKE_BINARY_DIR}/tests/catalogue_meshes)
set(asc_k 0)
foreach(asc_name ${CRANE_MESH_NAMES})
  math(EXPR asc_k "${asc_k} + 1")
  math(EXPR asc_n "${asc_k} + 2")
  math(EXPR asc_last "${asc_n} - 1")
  set(asc_text "Named object: \"${asc_name}\"\nTri-mesh, Vertices: ${asc_n}     Faces: 1\nVertex list:\n")
  foreach(i RANGE 0 ${asc_last})
    math(EXPR asc_y "${i} % 2")
    string(APPEND asc_text "Vertex ${i}:  X: ${i}     Y: ${asc_y}     Z: 0\n")
  endforeach()
  string(APPEND asc_text "Face list:\nFace 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\n")
  file(WRITE ${ASC_CATALOGUE_DIR}/${asc_name}.asc "${asc_text}")
endforeach()

# The catalogue test runs where those files are (the globals read them before main).
crane_test(test_catalogue test_catalogue.cpp LIBS crane_catalogue crane_mesh gl_recorder
  RUN_IN ${ASC_CATALOGUE_DIR})

# Start-up and exit order, watched from outside: the globals alone, and the real program.
add_executable(asc_catalogue_main asc_catalogue_main.cpp)
set_target_properties(asc_catalogue_main PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(asc_catalogue_main PRIVATE crane_catalogue crane_mesh gl_recorder)
crane_test(test_asc_startup test_asc_startup.cpp LIBS test_support DEPENDS asc_catalogue_main crane
  DEFINES ASC_CATALOGUE_MAIN="$<TARGET_FILE:asc_catalogue_main>"
          ASC_CATALOGUE_DIR="${ASC_CATALOGUE_DIR}" CRANE_PROGRAM="$<TARGET_FILE:crane>")

# A bounded libFuzzer run over the reader and the model's derivations, built with clang by the
# script itself.
find_program(ASC_CLANGXX clang++)
if(ASC_CLANGXX)
  add_test(NAME fuzz_asc
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/fuzz/run_fuzz.sh 60 ${CMAKE_BINARY_DIR}/fuzz)
  set_tests_properties(fuzz_asc PROPERTIES LABELS fuzz TIMEOUT 600)
endif()

# The start-up tests watch the constructors under gdb, which needs debug information whatever
# the build type; it leaves the generated code as it is.
foreach(t crane_mesh crane_catalogue crane_spring crane_app crane asc_catalogue_main)
  target_compile_options(${t} PRIVATE -g)
endforeach()
