// PNG files with zlib alone, for the Windows build, where there is no libpng: one IHDR, one
// IDAT holding the whole picture deflated, and IEND. Rows carry no filter.
#include "render/render_image.h"

#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct FileCloser {
    FILE* f;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

void put_u32(std::vector<unsigned char>* out, uint32_t v) {
    out->push_back(static_cast<unsigned char>(v >> 24));
    out->push_back(static_cast<unsigned char>(v >> 16));
    out->push_back(static_cast<unsigned char>(v >> 8));
    out->push_back(static_cast<unsigned char>(v));
}

// Length, type, data and the CRC of type and data.
void put_chunk(std::vector<unsigned char>* out, const char type[4], const unsigned char* data,
               size_t size) {
    put_u32(out, static_cast<uint32_t>(size));
    const size_t type_at = out->size();
    out->insert(out->end(), type, type + 4);
    out->insert(out->end(), data, data + size);
    const uLong crc = crc32(0L, out->data() + type_at, static_cast<uInt>(size + 4));
    put_u32(out, static_cast<uint32_t>(crc));
}

} // namespace

bool write_png(const std::string& path, const RenderImage& image, std::string* error) {
    FileCloser file{std::fopen(path.c_str(), "wb")};
    if (!file.f) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    // The raw picture: each row an RGB run after its filter byte (0, none).
    const size_t row = static_cast<size_t>(image.width) * 3 + 1;
    std::vector<unsigned char> raw(row * image.height);
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* src = &image.rgba[static_cast<size_t>(y) * image.width * 4];
        unsigned char* dst = &raw[row * y];
        dst[0] = 0;
        for (int x = 0; x < image.width; ++x) {
            dst[1 + x * 3 + 0] = src[x * 4 + 0];
            dst[1 + x * 3 + 1] = src[x * 4 + 1];
            dst[1 + x * 3 + 2] = src[x * 4 + 2];
        }
    }
    uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packed_size);
    // The level libpng is given on Linux: fast enough for hundreds of frames.
    if (compress2(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size()), 6) !=
        Z_OK) {
        *error = "zlib failed writing " + path;
        return false;
    }

    std::vector<unsigned char> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    put_u32(&header, static_cast<uint32_t>(image.width));
    put_u32(&header, static_cast<uint32_t>(image.height));
    // 8 bits a channel, RGB, deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, 2, 0, 0, 0});
    put_chunk(&out, "IHDR", header.data(), header.size());
    put_chunk(&out, "IDAT", packed.data(), packed_size);
    put_chunk(&out, "IEND", nullptr, 0);
    if (std::fwrite(out.data(), 1, out.size(), file.f) != out.size() || std::fflush(file.f) != 0 ||
        std::ferror(file.f)) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
