#include "tests/support/read_png.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

// libpng would print its errors; the text is kept for the caller's message instead.
std::string g_message;

void keep_error(png_structp png, png_const_charp message) {
    g_message = message ? message : "";
    png_longjmp(png, 1);
}

void ignore_warning(png_structp, png_const_charp) {}

} // namespace

bool read_png(const std::string& path, RenderImage* image, std::string* error) {
    const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        *error = "cannot open " + path;
        return false;
    }
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, keep_error, ignore_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        *error = "out of memory reading " + path;
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        *error = path + ": " + g_message;
        return false;
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    const int color = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) != 8 ||
        (color != PNG_COLOR_TYPE_RGB && color != PNG_COLOR_TYPE_RGB_ALPHA)) {
        png_destroy_read_struct(&png, &info, nullptr);
        *error = path + " is not an 8-bit RGB picture";
        return false;
    }
    if (color == PNG_COLOR_TYPE_RGB) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    image->width = static_cast<int>(png_get_image_width(png, info));
    image->height = static_cast<int>(png_get_image_height(png, info));
    image->rgba.assign(static_cast<size_t>(image->width) * image->height * 4, 0);
    std::vector<png_bytep> rows(image->height);
    for (int y = 0; y < image->height; ++y)
        rows[y] = &image->rgba[static_cast<size_t>(y) * image->width * 4];
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}
