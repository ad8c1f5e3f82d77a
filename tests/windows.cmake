# In the Windows build: the toolkit's test programs that the tests run under Wine beside
# crane.exe (the tests themselves are built and run on Linux).
foreach(program tk_error_box tk_key_echo tk_palette_probe)
  add_executable(${program} ${CMAKE_CURRENT_LIST_DIR}/e2e/${program}.cpp)
  target_link_libraries(${program} PRIVATE crane_tk crane_platform_win32 crane_gl)
endforeach()
