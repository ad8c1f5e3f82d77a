# The headless platform backend: Mesa's surfaceless EGL, an off-screen surface, scripted events.
add_library(crane_platform_egl STATIC
  ${CMAKE_CURRENT_LIST_DIR}/egl_context.cpp
  ${CMAKE_CURRENT_LIST_DIR}/egl_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/egl_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/egl_palette.cpp)
target_link_libraries(crane_platform_egl PUBLIC OpenGL::EGL)
