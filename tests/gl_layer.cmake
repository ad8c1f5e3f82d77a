# The GL 1.1 layer of web/gl/ natively, over OpenGL ES 3 on Mesa's surfaceless EGL, against
# Mesa's own fixed-function GL (label gl_layer). The layer's side is a helper program of its
# own: it defines the GL entry points that libGL defines too.
add_executable(gl_layer_scenes gl_layer_scenes_main.cpp support/gl_scenes.cpp)
set_target_properties(gl_layer_scenes PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(gl_layer_scenes PRIVATE crane_tk crane_platform_headless_gles
  crane_render_support)

crane_test(test_gl_layer test_gl_layer.cpp support/gl_scenes.cpp
  LIBS test_support crane_tk crane_platform_headless crane_render_support OpenGL::OpenGL OpenGL::EGL
       PkgConfig::GLU
  DEPENDS gl_layer_scenes DEFINES GL_LAYER_SCENES="$<TARGET_FILE:gl_layer_scenes>"
  LABELS gl_layer TIMEOUT 300)

# The program's frames through crane-render and crane-render --gl gles3: a test of the label
# render too, as it runs crane-render as a program of its own.
crane_test(test_gl_layer_frames test_gl_layer_frames.cpp LIBS test_support crane_render_support
  DEPENDS crane-render meshes DEFINES CRANE_RENDER_EXE="$<TARGET_FILE:crane-render>"
  WHOLE GlLayer.ProgramFramesMatchMesa LABELS gl_layer render TIMEOUT 300)
