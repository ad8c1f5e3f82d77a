#include "render/render_image.h"

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

} // namespace

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
