// Pictures read back by the tests: crane-render's frames, screenshots, the README's pictures.
#pragma once

#include <string>

#include "render/render_image.h"

// Reads an 8-bit RGB or RGBA PNG (as RGBA). False with the reason in error.
bool read_png(const std::string& path, RenderImage* image, std::string* error);
