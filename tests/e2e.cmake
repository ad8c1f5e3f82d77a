# End-to-end tests: the real program under a private Xvfb or a private headless sway, driven with
# real key presses.
add_library(e2e_harness STATIC e2e/e2e_harness.cpp e2e/compositor.cpp e2e/wine.cpp
            e2e/browser.cpp)
target_link_libraries(e2e_harness PUBLIC crane_render_support test_support)
# The Windows build the Wine desktop runs (CRANE_WINDOWS_BUILD: its folder; none: no Wine tests).
set(CRANE_WINDOWS_BUILD "" CACHE PATH "A Windows build folder whose programs the tests run under Wine")
set(wine_defines WINE_RUNNER="${CMAKE_SOURCE_DIR}/tools/windows/wine.sh"
                 BUILD_FOLDER="${CMAKE_BINARY_DIR}")
if(CRANE_WINDOWS_BUILD)
  list(APPEND wine_defines WINDOWS_BUILD_FOLDER="${CRANE_WINDOWS_BUILD}")
endif()
# The web build the browser desktop opens (CRANE_WEB_BUILD: its folder; none: no browser tests).
set(CRANE_WEB_BUILD "" CACHE PATH "A web build folder whose site the tests open in a browser")
list(APPEND wine_defines WEB_DRIVER="${CMAKE_SOURCE_DIR}/tests/web/driver.mjs")
if(CRANE_WEB_BUILD)
  list(APPEND wine_defines WEB_SITE_FOLDER="${CRANE_WEB_BUILD}/site"
                           WEB_KEY_ECHO_SITE="${CRANE_WEB_BUILD}/key-echo-site")
endif()
target_compile_definitions(e2e_harness PUBLIC ${wine_defines})
pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
target_link_libraries(e2e_harness PUBLIC X11::X11 X11::Xtst PkgConfig::WAYLAND_CLIENT)

# A program that makes the toolkit show its error box on the display.
add_executable(tk_error_box e2e/tk_error_box.cpp)
set_target_properties(tk_error_box PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(tk_error_box PRIVATE crane_tk crane_platform_select OpenGL::OpenGL
                      OpenGL::GLX X11::X11)

# A program that writes what the toolkit makes of real key presses and pointer events.
add_executable(tk_key_echo e2e/tk_key_echo.cpp)
set_target_properties(tk_key_echo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
target_link_libraries(tk_key_echo PRIVATE crane_tk crane_platform_select OpenGL::OpenGL)

# The tests of the Windows build alone need one; without it they are not registered, so that a
# plain build's tests all run.
set(e2e_tests test_e2e_crane test_e2e_display_lost test_e2e_error_box test_e2e_animation
              test_e2e_high_density)
if(CRANE_WINDOWS_BUILD)
  list(APPEND e2e_tests test_e2e_wine)
else()
  message(STATUS "Wine tests: not registered (no Windows build; set CRANE_WINDOWS_BUILD to one)")
endif()
if(CRANE_WEB_BUILD)
  list(APPEND e2e_tests test_e2e_web test_e2e_web_page)
else()
  message(STATUS "Browser tests: not registered (no web build; set CRANE_WEB_BUILD to one)")
endif()
foreach(t ${e2e_tests})
  crane_test(${t} e2e/${t}.cpp LIBS e2e_harness
    DEPENDS crane crane-render tk_error_box tk_key_echo meshes
    DEFINES CRANE_PROGRAM="$<TARGET_FILE:crane>" ERROR_BOX_PROGRAM="$<TARGET_FILE:tk_error_box>"
            KEY_ECHO_PROGRAM="$<TARGET_FILE:tk_key_echo>"
    LABELS e2e TIMEOUT 600)
endforeach()
# The web build's site through the server tools/run.sh uses: headers, installability, offline.
if(CRANE_WEB_BUILD)
  crane_test(test_e2e_web_site e2e/test_e2e_web_site.cpp LIBS e2e_harness test_support
    DEFINES SITE_CHECK="${CMAKE_SOURCE_DIR}/tests/web/site_check.mjs"
            SITE_CHECK_DIR="${CMAKE_SOURCE_DIR}/tests/web"
            CMAKE_PROGRAM="${CMAKE_COMMAND}"
            SITE_APP_SCRIPT="${CMAKE_SOURCE_DIR}/web/site_app.cmake"
            SERVICE_WORKER_TEMPLATE="${CMAKE_SOURCE_DIR}/web/sw.js.in"
    LABELS e2e TIMEOUT 600)
endif()
