// Pictures of crane-render: RGBA images, PNG files and the captioned contact sheet.
#pragma once

#include <string>
#include <vector>

struct RenderImage {
    int width;
    int height;
    std::vector<unsigned char> rgba; // width * 4 bytes a row, top row first
};

// Writes the image as an 8-bit RGB PNG. False with the reason in error. Linux writes with
// libpng (render_png.cpp), Windows with zlib alone (render_png_zlib.cpp).
bool write_png(const std::string& path, const RenderImage& image, std::string* error);

// Half the size, each pixel the mean of a 2 x 2 block (odd last rows and columns dropped).
RenderImage half_size(const RenderImage& image);

// Writes the decimal digits of number into image at (x, y) with the built-in 5 x 7 font, each
// font pixel drawn as scale x scale pixels. Returns the width used.
int draw_number(RenderImage* image, int x, int y, int number, int scale,
                const unsigned char rgb[3]);

// Thumbnails in rows of up to three, each captioned with its frame number underneath.
RenderImage contact_sheet(const std::vector<RenderImage>& thumbnails,
                          const std::vector<int>& frames);
