# The toolkit's rules on the simulated backend, palettes and system colours included (the X11
# backend's own palette operations are tested in x11.cmake).
foreach(t test_tk_open test_tk_register test_tk_pixel_format test_tk_events test_tk_loop
          test_tk_palette)
  crane_test(${t} ${t}.cpp LIBS crane_tk sim_platform gl_recorder)
endforeach()
# What the backends share: the pixel-format matcher and the plain settings.
crane_test(test_pixel_format_match test_pixel_format_match.cpp LIBS crane_platform_shared)
crane_test(test_platform_settings test_platform_settings.cpp LIBS crane_platform_shared)
