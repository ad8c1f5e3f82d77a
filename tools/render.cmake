# crane-render: the program on the headless backend, writing chosen frames as PNG files and
# videos. FFmpeg's libraries encode on a thread beside the drawing; they are part of the support
# library, so that every program built from crane_render.cpp has them.
if(WIN32)
  # Windows: PNG files through zlib alone and no video (mingw-w64 has neither libpng nor FFmpeg
  # in Debian); the headless backend draws with WGL.
  add_library(crane_render_support STATIC
    ${CMAKE_CURRENT_LIST_DIR}/render_args.cpp
    ${CMAKE_CURRENT_LIST_DIR}/render_image.cpp
    ${CMAKE_CURRENT_LIST_DIR}/render_png_zlib.cpp
    ${CMAKE_CURRENT_LIST_DIR}/render_video_none.cpp
    ${CMAKE_CURRENT_LIST_DIR}/render_progress.cpp)
  target_link_libraries(crane_render_support PUBLIC ZLIB::ZLIB)

  add_executable(crane-render ${CMAKE_CURRENT_LIST_DIR}/crane_render.cpp
    $<TARGET_OBJECTS:crane_catalogue>)
  target_link_libraries(crane-render PRIVATE crane_render_support
    crane_app crane_mesh crane_spring crane_tk crane_platform_headless crane_gl)
  target_compile_definitions(crane-render PRIVATE CRANE_VERSION="${PROJECT_VERSION}")
  add_dependencies(crane-render meshes)
  return()
endif()

find_package(Threads REQUIRED)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale libavutil)
add_library(crane_render_support STATIC
  ${CMAKE_CURRENT_LIST_DIR}/render_args.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render_image.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render_png.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render_video.cpp
  ${CMAKE_CURRENT_LIST_DIR}/render_progress.cpp)
target_link_libraries(crane_render_support PUBLIC PNG::PNG PkgConfig::FFMPEG Threads::Threads)

add_executable(crane-render ${CMAKE_CURRENT_LIST_DIR}/crane_render.cpp
  $<TARGET_OBJECTS:crane_catalogue>)
target_link_libraries(crane-render PRIVATE crane_render_support
  crane_app crane_mesh crane_spring crane_tk crane_platform_headless
  OpenGL::OpenGL OpenGL::EGL PkgConfig::GLU PNG::PNG)
# crane-render --version says the project's version.
target_compile_definitions(crane-render PRIVATE CRANE_VERSION="${PROJECT_VERSION}")
add_dependencies(crane-render meshes)

# crane-render --gl gles3 runs this program beside it: the same one, whose GL is web/gl/ over
# OpenGL ES 3 (it links neither libGL nor GLU, whose glEnable... the layer defines itself).
add_executable(crane-render-gles3 ${CMAKE_CURRENT_LIST_DIR}/crane_render.cpp
  $<TARGET_OBJECTS:crane_catalogue>)
target_link_libraries(crane-render-gles3 PRIVATE crane_render_support
  crane_app crane_mesh crane_spring crane_tk crane_platform_headless_gles)
target_compile_definitions(crane-render-gles3 PRIVATE CRANE_VERSION="${PROJECT_VERSION}"
  CRANE_RENDER_GLES3)
add_dependencies(crane-render crane-render-gles3)

# The README's pictures drawn anew into docs/pictures/ (the window pictures come from the
# end-to-end tests instead).
add_custom_target(pictures
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/pictures.sh ${CMAKE_BINARY_DIR}
          ${CMAKE_SOURCE_DIR}/docs/pictures
  DEPENDS crane-render meshes USES_TERMINAL)

# Benchmark, not a test: a video of one pass against drawing the same frames alone.
add_custom_target(bench-video
  COMMAND python3 ${CMAKE_CURRENT_LIST_DIR}/bench/video.py ${CMAKE_BINARY_DIR}
  DEPENDS crane-render meshes WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
# The colour conversion loop is vectorised only from -O3 on with GCC 12.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/render_video.cpp PROPERTIES
  COMPILE_OPTIONS "$<$<NOT:$<CONFIG:Debug>>:-O3>")
