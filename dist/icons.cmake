# The program's icon: one drawing (crane.svg beside this file) rasterised by rsvg-convert at each
# size desktops ask for, into icons/<size>x<size>/crane.png of the build folder (target icons).
# The X11 window carries the small ones, the installation all of them and the drawing itself,
# the Windows programs an .ico packed from them; the web build's page its favicon and the
# installed app's icons (crane_draw_icon, called from web/).
set(CRANE_ICON_SVG ${CMAKE_CURRENT_LIST_DIR}/crane.svg)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

# A rule that draws the icon size x size pixels into output; further arguments go to
# rsvg-convert (a larger page and a background around the drawing, for a maskable icon).
function(crane_draw_icon output size)
  get_filename_component(dir ${output} DIRECTORY)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} ${ARGN} --output ${output}
            ${CRANE_ICON_SVG}
    DEPENDS ${CRANE_ICON_SVG}
    COMMENT "Drawing the icon ${output}"
    VERBATIM)
endfunction()

# The desktop sizes: not for the web build.
if(EMSCRIPTEN)
  return()
endif()
set(CRANE_ICON_SIZES 16 24 32 48 64 128 256)
set(CRANE_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
set(crane_icons)
foreach(size ${CRANE_ICON_SIZES})
  set(icon ${CRANE_ICON_DIR}/${size}x${size}/crane.png)
  crane_draw_icon(${icon} ${size})
  list(APPEND crane_icons ${icon})
endforeach()
add_custom_target(icons DEPENDS ${crane_icons})
