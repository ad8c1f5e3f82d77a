# The Windows package: one folder with crane.exe, crane-render.exe and the seventeen mesh
# files beside them (the program reads them from its working folder, which the Start-menu
# entry sets to that folder), as a ZIP and as an NSIS installer (cpack -G ZIP, cpack -G NSIS).
set(CRANE_VERSION ${PROJECT_VERSION})

set(crane_mesh_files ${CRANE_MESH_NAMES})
list(TRANSFORM crane_mesh_files PREPEND ${CMAKE_BINARY_DIR}/)
list(TRANSFORM crane_mesh_files APPEND .asc)

# The programs' resources (crane.rc, crane-render.rc): the icon, packed from the icon pictures,
# and a version resource from the project's version.
string(REGEX MATCH "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$" crane_version_parts ${CRANE_VERSION})
set(CRANE_VERSION_MAJOR ${CMAKE_MATCH_1})
set(CRANE_VERSION_MINOR ${CMAKE_MATCH_2})
set(CRANE_VERSION_PATCH ${CMAKE_MATCH_3})
# The Makefiles see crane.ico through no #include: the drawing's hash in the header stands in.
file(SHA1 ${CRANE_ICON_SVG} CRANE_ICON_SHA1)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CRANE_ICON_SVG})
configure_file(${CMAKE_CURRENT_LIST_DIR}/crane_version.h.in
               ${CMAKE_CURRENT_BINARY_DIR}/windows/crane_version.h @ONLY)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(crane_ico ${CMAKE_CURRENT_BINARY_DIR}/windows/crane.ico)
set(crane_ico_pictures)
foreach(size 16 24 32 48 64 256)
  list(APPEND crane_ico_pictures ${CRANE_ICON_DIR}/${size}x${size}/crane.png)
endforeach()
add_custom_command(
  OUTPUT ${crane_ico}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/windows/make_ico.py ${crane_ico}
          ${crane_ico_pictures}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/windows/make_ico.py ${crane_ico_pictures} icons
  COMMENT "Packing the Windows icon"
  VERBATIM)
add_custom_target(windows-icon DEPENDS ${crane_ico})
target_sources(crane-render PRIVATE ${CMAKE_CURRENT_LIST_DIR}/crane-render.rc)
foreach(program crane crane-render)
  target_include_directories(${program} PRIVATE
    $<$<COMPILE_LANGUAGE:RC>:${CMAKE_CURRENT_BINARY_DIR}/windows>)
  add_dependencies(${program} windows-icon)
endforeach()

# A short README for whoever opens the ZIP or the installed folder, with Windows line ends.
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${CMAKE_CURRENT_BINARY_DIR}/README.txt
               @ONLY NEWLINE_STYLE CRLF)

install(TARGETS crane crane-render RUNTIME DESTINATION .)
install(FILES ${crane_mesh_files} DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME crane)
set(CPACK_PACKAGE_VENDOR "The crane developers")
set(CPACK_PACKAGE_VERSION ${CRANE_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D animation of a crane lifting a stone")
set(CPACK_PACKAGE_INSTALL_DIRECTORY crane)
set(CPACK_PACKAGE_FILE_NAME crane-${CRANE_VERSION}-windows-x64)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP NSIS)

# A 64-bit installer into the 64-bit program folder (CPack's default is a 32-bit one).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "crane")
set(CPACK_NSIS_PACKAGE_NAME "crane")
set(CPACK_NSIS_MUI_ICON ${crane_ico})
set(CPACK_NSIS_MUI_UNIICON ${crane_ico})
set(CPACK_NSIS_INSTALLED_ICON_NAME crane.exe)
# The Start-menu entry starts the program in its folder, where the mesh files are.
set(CPACK_NSIS_CREATE_ICONS_EXTRA "
  SetOutPath '$INSTDIR'
  CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\crane.lnk' '$INSTDIR\\\\crane.exe' '' '$INSTDIR\\\\crane.exe' 0")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "
  Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\crane.lnk'")
include(CPack)
