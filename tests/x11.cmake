# The X11 backend's own tests, each binary on a private Xvfb screen of the depth it needs.
# The colormap cases need a display with an 8-bit PseudoColor visual.
crane_test(test_x11_palette test_x11_palette.cpp LIBS crane_platform_x11
  WHOLE x11_palette XVFB_SCREEN 640x480x8 LABELS x11 TIMEOUT 120)
# Pixel formats against what GLX says of each visual, on a true-colour screen.
crane_test(test_x11_pixel_format test_x11_pixel_format.cpp LIBS crane_platform_x11
  WHOLE x11_pixel_format XVFB_SCREEN 640x480x24 LABELS x11 TIMEOUT 120)
# The toolkit's own window on a bare server: keys, repaints, focus and showing the window.
crane_test(test_x11_events test_x11_events.cpp
  LIBS crane_tk crane_platform_select OpenGL::OpenGL X11::Xtst test_support
  WHOLE x11_events XVFB_SCREEN 640x480x24 LABELS x11 TIMEOUT 120)
