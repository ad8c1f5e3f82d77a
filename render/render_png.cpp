// PNG files through libpng: what the Linux build writes.
#include "render/render_image.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// libpng's own handlers print to standard error; ours keep the text for the caller's message.
// A failed write also leaves the system's reason (a full disk) in errno.
std::string g_png_message;
int g_png_errno = 0;

void png_error_quietly(png_structp png, png_const_charp message) {
    g_png_message = message ? message : "";
    g_png_errno = errno;
    png_longjmp(png, 1);
}

void png_warning_quietly(png_structp, png_const_charp) {}

struct FileCloser {
    FILE* f;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

} // namespace

bool write_png(const std::string& path, const RenderImage& image, std::string* error) {
    FileCloser file{std::fopen(path.c_str(), "wb")};
    if (!file.f) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_error_quietly,
                                              png_warning_quietly);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        *error = "out of memory writing " + path;
        return false;
    }
    // libpng reports its errors by a long jump back here.
    std::vector<unsigned char> row(static_cast<size_t>(image.width) * 3);
    errno = 0;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        *error = "cannot write " + path + ": " +
                 (g_png_errno ? std::strerror(g_png_errno) : "libpng: " + g_png_message);
        return false;
    }
    png_init_io(png, file.f);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    // Fast enough for hundreds of frames; the pictures are mostly flat colour anyway.
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* src = &image.rgba[static_cast<size_t>(y) * image.width * 4];
        for (int x = 0; x < image.width; ++x) {
            row[x * 3 + 0] = src[x * 4 + 0];
            row[x * 3 + 1] = src[x * 4 + 1];
            row[x * 3 + 2] = src[x * 4 + 2];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.f) != 0 || std::ferror(file.f)) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
