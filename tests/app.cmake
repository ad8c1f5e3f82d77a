# The application's tests: render state and callbacks, the timeline, the scene.

set(app_test_libs crane_app crane_mesh crane_spring gl_recorder)
set(app_test_support app_tk_stub.cpp app_model_draws.cpp $<TARGET_OBJECTS:crane_catalogue>)

crane_test(test_main test_main.cpp app_stdout_capture.cpp ${app_test_support}
           LIBS ${app_test_libs})
crane_test(test_timeline test_timeline.cpp ${app_test_support} LIBS ${app_test_libs})
crane_test(test_scene test_scene.cpp ${app_test_support} LIBS ${app_test_libs})

# These binaries build the seventeen models before main, from the build folder; even listing
# their tests needs the files there.
set(app_model_files grua1 grua2 pinza1 pinza2 pivote1 pivote2 suelo1 suelo2 cilindr1 cilindr2
                    piedra1 contene1 contene2 camion1 camion2 camion2p camion3)
if(TARGET meshes)
  add_dependencies(test_main meshes)
  add_dependencies(test_timeline meshes)
  add_dependencies(test_scene meshes)
else()
  # No generator in this tree: one small triangle per model, each different, written only
  # where no file exists yet.
  set(app_model_index 0)
  foreach(m ${app_model_files})
    math(EXPR app_model_index "${app_model_index} + 1")
    set(f ${CMAKE_BINARY_DIR}/${m}.asc)
    if(app_model_index LESS 10)
      set(z 0.0${app_model_index})
    else()
      set(z 0.${app_model_index})
    endif()
    if(NOT EXISTS ${f})
      file(WRITE ${f}
        "Named object: \"${m}\"\n"
        "Tri-mesh, Vertices: 3     Faces: 1\n"
        "Vertex list:\n"
        "Vertex 0:  X: 0.0     Y: 0.0     Z: 0.0\n"
        "Vertex 1:  X: 1.0     Y: 0.0     Z: 0.0\n"
        "Vertex 2:  X: 0.0     Y: 1.0     Z: ${z}\n"
        "Face list:\n"
        "Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1\n")
    endif()
  endforeach()
endif()
