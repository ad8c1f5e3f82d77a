# The Windows package: one folder with crane.exe, crane-render.exe and the seventeen mesh
# files beside them (the program reads them from its working folder, which the Start-menu
# entry sets to that folder), as a ZIP and as an NSIS installer (cpack -G ZIP, cpack -G NSIS).
set(CRANE_VERSION 0.1.0)

set(crane_mesh_files ${CRANE_MESH_NAMES})
list(TRANSFORM crane_mesh_files PREPEND ${CMAKE_BINARY_DIR}/)
list(TRANSFORM crane_mesh_files APPEND .asc)

install(TARGETS crane crane-render RUNTIME DESTINATION .)
install(FILES ${crane_mesh_files} DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

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
set(CPACK_NSIS_MUI_ICON ${CMAKE_CURRENT_LIST_DIR}/crane.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_CURRENT_LIST_DIR}/crane.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME crane.exe)
# The Start-menu entry starts the program in its folder, where the mesh files are.
set(CPACK_NSIS_CREATE_ICONS_EXTRA "
  SetOutPath '$INSTDIR'
  CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\crane.lnk' '$INSTDIR\\\\crane.exe' '' '$INSTDIR\\\\crane.exe' 0")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "
  Delete '$SMPROGRAMS\\\\$MUI_TEMP\\\\crane.lnk'")
include(CPack)
