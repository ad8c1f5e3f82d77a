# The program's icon: one drawing (crane.svg beside this file) rasterised by rsvg-convert at each
# size desktops ask for, into icons/<size>x<size>/crane.png of the build folder (target icons).
# The X11 window carries the small ones, the installation all of them and the drawing itself,
# the Windows programs an .ico packed from them.
set(CRANE_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/crane.svg)
# The web page carries no icon, and its build installs no rasteriser.
if(EMSCRIPTEN)
  return()
endif()
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(CRANE_ICON_SIZES 16 24 32 48 64 128 256)
set(CRANE_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(crane_icons)
foreach(size ${CRANE_ICON_SIZES})
  set(icon ${CRANE_ICON_DIR}/${size}x${size}/crane.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CRANE_ICON_DIR}/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${icon} ${CRANE_ICON_SVG}
    DEPENDS ${CRANE_ICON_SVG}
    COMMENT "Drawing the ${size}x${size} icon"
    VERBATIM)
  list(APPEND crane_icons ${icon})
endforeach()
add_custom_target(icons DEPENDS ${crane_icons})
