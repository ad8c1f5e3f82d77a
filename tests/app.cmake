# The application's tests: render state and callbacks, the timeline, the scene. These binaries
# build the seventeen models before main, from the build folder: even listing their tests needs
# the mesh files there.
set(app_test_libs crane_app crane_mesh crane_spring app_test_support gl_recorder)

crane_test(test_main test_main.cpp $<TARGET_OBJECTS:crane_catalogue> LIBS ${app_test_libs}
  DEPENDS meshes)
crane_test(test_timeline test_timeline.cpp $<TARGET_OBJECTS:crane_catalogue>
  LIBS ${app_test_libs} DEPENDS meshes)
crane_test(test_scene test_scene.cpp $<TARGET_OBJECTS:crane_catalogue> LIBS ${app_test_libs}
  DEPENDS meshes)

# crane's command line and its opt-in pace.
crane_test(test_command_line test_command_line.cpp LIBS crane_app)
crane_test(test_pace test_pace.cpp LIBS crane_app)
