# The application's tests: render state and callbacks, the timeline, the scene.

set(app_test_libs crane_app crane_mesh crane_spring gl_recorder)
set(app_test_support app_tk_stub.cpp app_model_draws.cpp $<TARGET_OBJECTS:crane_catalogue>)

crane_test(test_main test_main.cpp app_stdout_capture.cpp ${app_test_support}
           LIBS ${app_test_libs})
crane_test(test_timeline test_timeline.cpp ${app_test_support} LIBS ${app_test_libs})
crane_test(test_scene test_scene.cpp ${app_test_support} LIBS ${app_test_libs})

# These binaries build the seventeen models before main, from the build folder: even listing
# their tests needs the mesh files there.
add_dependencies(test_main meshes)
add_dependencies(test_timeline meshes)
add_dependencies(test_scene meshes)
