#include "tools/render_image.h"

#include <png.h>

#include <cstdio>
#include <string>

namespace {

// 5 x 7 digits, one byte a row, the five low bits left to right.
const unsigned char k_digits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}, // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}, // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}, // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}, // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}, // 9
};
const int k_glyph_width = 5;
const int k_glyph_height = 7;
const int k_glyph_advance = 6;

void fill(RenderImage* image, int x0, int y0, int w, int h, const unsigned char rgb[3]) {
    for (int y = y0; y < y0 + h; ++y) {
        if (y < 0 || y >= image->height) continue;
        for (int x = x0; x < x0 + w; ++x) {
            if (x < 0 || x >= image->width) continue;
            unsigned char* p = &image->rgba[(static_cast<size_t>(y) * image->width + x) * 4];
            p[0] = rgb[0];
            p[1] = rgb[1];
            p[2] = rgb[2];
            p[3] = 255;
        }
    }
}

void blit(RenderImage* dst, int x0, int y0, const RenderImage& src) {
    for (int y = 0; y < src.height; ++y) {
        if (y0 + y < 0 || y0 + y >= dst->height) continue;
        for (int x = 0; x < src.width; ++x) {
            if (x0 + x < 0 || x0 + x >= dst->width) continue;
            const unsigned char* s = &src.rgba[(static_cast<size_t>(y) * src.width + x) * 4];
            unsigned char* d = &dst->rgba[(static_cast<size_t>(y0 + y) * dst->width + x0 + x) * 4];
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = 255;
        }
    }
}

// libpng's own handlers print to standard error; ours keep the text for the caller's message.
std::string g_png_message;

void png_error_quietly(png_structp png, png_const_charp message) {
    g_png_message = message ? message : "";
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
        *error = "cannot write " + path;
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
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        *error = "libpng failed writing " + path + ": " + g_png_message;
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
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool read_png(const std::string& path, RenderImage* image, std::string* error) {
    FileCloser file{std::fopen(path.c_str(), "rb")};
    if (!file.f) {
        *error = "cannot open " + path;
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_error_quietly,
                                             png_warning_quietly);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        *error = "out of memory reading " + path;
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        *error = path + ": " + g_png_message;
        return false;
    }
    png_init_io(png, file.f);
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

RenderImage half_size(const RenderImage& image) {
    RenderImage half;
    half.width = image.width / 2;
    half.height = image.height / 2;
    half.rgba.assign(static_cast<size_t>(half.width) * half.height * 4, 0);
    for (int y = 0; y < half.height; ++y) {
        for (int x = 0; x < half.width; ++x) {
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += image.rgba[((static_cast<size_t>(y) * 2 + dy) * image.width + x * 2 +
                                           dx) *
                                              4 +
                                          c];
                half.rgba[(static_cast<size_t>(y) * half.width + x) * 4 + c] =
                    static_cast<unsigned char>((sum + 2) / 4);
            }
        }
    }
    return half;
}

int draw_number(RenderImage* image, int x, int y, int number, int scale,
                const unsigned char rgb[3]) {
    const std::string text = std::to_string(number);
    int pen = x;
    for (char ch : text) {
        if (ch < '0' || ch > '9') continue; // only digits have glyphs
        const unsigned char* glyph = k_digits[ch - '0'];
        for (int row = 0; row < k_glyph_height; ++row)
            for (int col = 0; col < k_glyph_width; ++col)
                if (glyph[row] & (0x10 >> col))
                    fill(image, pen + col * scale, y + row * scale, scale, scale, rgb);
        pen += k_glyph_advance * scale;
    }
    return pen - x;
}

RenderImage contact_sheet(const std::vector<RenderImage>& thumbnails,
                          const std::vector<int>& frames) {
    const unsigned char background[3] = {40, 40, 40};
    const unsigned char ink[3] = {235, 235, 235};
    const int pad = 8, scale = 2, caption = k_glyph_height * scale + pad;
    RenderImage sheet;
    sheet.width = sheet.height = 0;
    if (thumbnails.empty()) return sheet;
    const int count = static_cast<int>(thumbnails.size());
    const int columns = count < 3 ? count : 3;
    const int rows = (count + columns - 1) / columns;
    const int cell_w = thumbnails[0].width, cell_h = thumbnails[0].height;
    sheet.width = pad + columns * (cell_w + pad);
    sheet.height = pad + rows * (cell_h + caption + pad);
    sheet.rgba.assign(static_cast<size_t>(sheet.width) * sheet.height * 4, 0);
    fill(&sheet, 0, 0, sheet.width, sheet.height, background);
    for (int i = 0; i < count; ++i) {
        const int x = pad + (i % columns) * (cell_w + pad);
        const int y = pad + (i / columns) * (cell_h + caption + pad);
        blit(&sheet, x, y, thumbnails[i]);
        if (i < static_cast<int>(frames.size()))
            draw_number(&sheet, x, y + cell_h + pad / 2 + 1, frames[i], scale, ink);
    }
    return sheet;
}
