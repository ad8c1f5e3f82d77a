# Benchmarks: programs of their own and targets that run them. Not part of the test suite.
set(crane_program_libs crane_app crane_mesh crane_spring crane_tk)
find_package(GLUT QUIET)

# The freeglut peer: the same scene, timeline and models under freeglut's loop.
if(GLUT_FOUND)
  add_executable(bench-peer ${CMAKE_CURRENT_LIST_DIR}/bench/bench_peer.cpp
    $<TARGET_OBJECTS:crane_catalogue>)
  target_link_libraries(bench-peer PRIVATE ${crane_program_libs}
    GLUT::GLUT OpenGL::OpenGL OpenGL::GLX PkgConfig::GLU)
endif()

# The GLFW peer on Wayland: the same scene, timeline and models under GLFW's loop, built where
# GLFW's Wayland build is installed.
pkg_check_modules(GLFW QUIET IMPORTED_TARGET glfw3)
if(GLFW_FOUND)
  add_executable(bench-peer-wayland ${CMAKE_CURRENT_LIST_DIR}/bench/bench_peer_wayland.cpp
    $<TARGET_OBJECTS:crane_catalogue>)
  target_link_libraries(bench-peer-wayland PRIVATE ${crane_program_libs} PkgConfig::GLFW
    OpenGL::OpenGL PkgConfig::GLU)
endif()

# The display-list limit: crane-render with every model drawn from a list compiled once.
add_executable(bench-lists ${CMAKE_SOURCE_DIR}/render/crane_render.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bench/bench_lists.cpp $<TARGET_OBJECTS:crane_catalogue>)
target_link_libraries(bench-lists PRIVATE crane_render_support ${crane_program_libs}
  crane_platform_headless OpenGL::OpenGL OpenGL::EGL PkgConfig::GLU PNG::PNG)
# crane_render.cpp answers --version.
target_compile_definitions(bench-lists PRIVATE CRANE_VERSION="${PROJECT_VERSION}")

# The start-up probe: the real program, ending at its first frame.
add_executable(bench-startup-probe ${CMAKE_CURRENT_LIST_DIR}/bench/bench_startup.cpp
  $<TARGET_OBJECTS:crane_catalogue>)
target_link_libraries(bench-startup-probe PRIVATE ${crane_program_libs} crane_platform_x11
  OpenGL::OpenGL OpenGL::GLX PkgConfig::GLU X11::X11)

# The floor under it: a bare GLX program that presents one triangle.
add_executable(bench-glx-floor ${CMAKE_CURRENT_LIST_DIR}/bench/bench_glx_floor.cpp)
target_link_libraries(bench-glx-floor PRIVATE OpenGL::OpenGL OpenGL::GLX X11::X11)

# The ASC reader's speed beside a plain character scan of the same file.
add_executable(bench-reader ${CMAKE_CURRENT_LIST_DIR}/bench/bench_reader.cpp)
target_link_libraries(bench-reader PRIVATE crane_mesh OpenGL::GL)

# One command each: cmake --build build --target bench-<name>
set(bench_dir ${CMAKE_CURRENT_LIST_DIR}/bench)
add_custom_target(bench-frame-rate
  COMMAND python3 ${bench_dir}/frame_rate.py ${CMAKE_BINARY_DIR}
  DEPENDS crane bench-peer WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
add_custom_target(bench-frame-rate-wayland
  COMMAND python3 ${bench_dir}/frame_rate.py ${CMAKE_BINARY_DIR} 11 900 --wayland
  DEPENDS crane bench-peer-wayland WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
add_custom_target(bench-display-lists
  COMMAND python3 ${bench_dir}/display_lists.py ${CMAKE_BINARY_DIR}
  DEPENDS crane-render bench-lists WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
add_custom_target(bench-start-up
  COMMAND python3 ${bench_dir}/start_up.py ${CMAKE_BINARY_DIR}
  DEPENDS bench-startup-probe bench-glx-floor WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
# A video of one pass against drawing the same frames alone.
add_custom_target(bench-video
  COMMAND python3 ${bench_dir}/video.py ${CMAKE_BINARY_DIR}
  DEPENDS crane-render WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
add_custom_target(bench-instructions
  COMMAND python3 ${bench_dir}/instructions.py ${CMAKE_BINARY_DIR}
  DEPENDS crane-render WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
add_custom_target(bench-quit
  COMMAND python3 ${bench_dir}/quit_latency.py ${CMAKE_BINARY_DIR}
  DEPENDS crane WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
# crane.exe under Wine beside the native crane on one Xvfb. This build does not make the Windows
# build: build crane.exe there first (cmake --build <CRANE_WINDOWS_BUILD> --target crane).
if(CRANE_WINDOWS_BUILD)
  add_custom_target(bench-frame-rate-wine
    COMMAND python3 ${bench_dir}/frame_rate.py ${CMAKE_BINARY_DIR} 11 900 --wine ${CRANE_WINDOWS_BUILD}
    DEPENDS crane WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
  add_dependencies(bench-frame-rate-wine meshes)
endif()
foreach(t bench-frame-rate bench-frame-rate-wayland bench-display-lists bench-start-up
          bench-video bench-instructions bench-quit)
  add_dependencies(${t} meshes)
endforeach()
# The web build in headless Chromium beside crane-render --bench. This build does not make the
# web build: build it first (emcmake cmake -S . -B build-web && cmake --build build-web).
if(CRANE_WEB_BUILD)
  add_custom_target(bench-web
    COMMAND node ${bench_dir}/web.mjs ${CMAKE_BINARY_DIR} ${CRANE_WEB_BUILD}
    DEPENDS crane-render WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
  add_dependencies(bench-web meshes)
  # Lighthouse on the web build's site as tools/run.sh serves it, desktop and mobile.
  add_custom_target(web-audit
    COMMAND node ${bench_dir}/web_audit.mjs ${CRANE_WEB_BUILD}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
endif()

# The GL 1.1 layer's own cost natively: the program's frames through the layer over OpenGL ES 3
# and through Mesa's fixed function (two programs: the layer defines the GL entry points that
# libGL defines too).
add_executable(bench-gl-layer-gles3 ${bench_dir}/bench_gl_layer.cpp $<TARGET_OBJECTS:crane_catalogue>)
target_link_libraries(bench-gl-layer-gles3 PRIVATE ${crane_program_libs}
  crane_platform_headless_gles)
target_compile_definitions(bench-gl-layer-gles3 PRIVATE BENCH_GLES)
add_executable(bench-gl-layer-mesa ${bench_dir}/bench_gl_layer.cpp $<TARGET_OBJECTS:crane_catalogue>)
target_link_libraries(bench-gl-layer-mesa PRIVATE ${crane_program_libs} crane_platform_headless
  OpenGL::OpenGL OpenGL::EGL PkgConfig::GLU)
add_custom_target(bench-gl-layer
  COMMAND bench-gl-layer-mesa 800 >/dev/null
  COMMAND bench-gl-layer-gles3 800 >/dev/null
  DEPENDS bench-gl-layer-mesa bench-gl-layer-gles3 meshes
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR} USES_TERMINAL)
