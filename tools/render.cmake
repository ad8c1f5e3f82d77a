# crane-render: the program on the headless backend, writing chosen frames as PNG files.
add_library(crane_render_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/render_args.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render_image.cpp)
target_link_libraries(crane_render_support PUBLIC PNG::PNG)

add_executable(crane-render ${CMAKE_CURRENT_LIST_DIR}/crane_render.cpp
  $<TARGET_OBJECTS:crane_catalogue>)
target_link_libraries(crane-render PRIVATE crane_render_support
  crane_app crane_mesh crane_spring crane_tk crane_platform_headless
  OpenGL::OpenGL OpenGL::EGL PkgConfig::GLU PNG::PNG)
add_dependencies(crane-render meshes)
