# crane-render's own logic, and pictures drawn on the headless backend (label render: Mesa's
# software rasteriser draws them).

crane_test(test_crane_render_args test_crane_render_args.cpp LIBS crane_render_support)
crane_test(test_render_image test_render_image.cpp LIBS crane_render_support test_support)

# The backend under the real toolkit, with a stand-in program instead of the crane.
crane_test(test_render_backend test_render_backend.cpp LIBS crane_tk crane_platform_headless
  OpenGL::OpenGL OpenGL::EGL PkgConfig::GLU LABELS render)

# What a person would see in crane-render's pictures, run as a separate process.
crane_test(test_render_pictures test_render_pictures.cpp LIBS crane_render_support test_support
  DEPENDS crane-render DEFINES CRANE_RENDER_EXE="$<TARGET_FILE:crane-render>"
          DOCS_PICTURES="${CMAKE_SOURCE_DIR}/docs/pictures" LABELS render)

# The same picture from crane in its window under Xvfb and from crane-render: needs both, so
# it carries the labels of either kind.
crane_test(test_render_matches_window test_render_matches_window.cpp
  LIBS e2e_harness crane_render_support DEPENDS crane-render crane
  DEFINES CRANE_RENDER_EXE="$<TARGET_FILE:crane-render>" CRANE_PROGRAM="$<TARGET_FILE:crane>"
          BUILD_FOLDER="${CMAKE_BINARY_DIR}"
  WHOLE WindowAndRender.StillPartOfThePictureMatchesThroughAKeyRepaint LABELS render e2e
  TIMEOUT 600)

# ---- crane-render's videos and its progress line ---------------------------------------------
crane_test(test_render_video test_render_video.cpp LIBS crane_render_support test_support
  DEPENDS crane-render
  DEFINES CRANE_RENDER_EXE="$<TARGET_FILE:crane-render>" LABELS render)
crane_test(test_render_progress test_render_progress.cpp LIBS crane_render_support test_support
  DEPENDS crane-render DEFINES CRANE_RENDER_EXE="$<TARGET_FILE:crane-render>" LABELS render)

# ---- The installed programs, from a temporary prefix (sanitizer builds install nothing) -------
if(TARGET dist-files)
  crane_test(test_install test_install.cpp LIBS e2e_harness crane_render_support
    DEPENDS crane crane-render dist-files
    DEFINES BUILD_FOLDER="${CMAKE_BINARY_DIR}" CMAKE_COMMAND="${CMAKE_COMMAND}"
            CRANE_VERSION="${PROJECT_VERSION}"
    LABELS e2e TIMEOUT 120)
endif()
