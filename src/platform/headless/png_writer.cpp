#include "platform/headless/png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "formats/files.h"

namespace platform {

bool SavePng(const media::Surface& surface, const std::string& path) {
    FILE* out = std::fopen(formats::NativePath(path).c_str(), "wb");
    if (!out) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(out);
        return false;
    }
    png_init_io(png, out);
    const int w = surface.Width(), h = surface.Height();
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(size_t(w) * 3);
    for (int y = 0; y < h; ++y) {
        const uint16_t* src = surface.Row(y);
        for (int x = 0; x < w; ++x) {
            const uint16_t p = src[x];
            row[size_t(x) * 3 + 0] = png_byte(((p >> 11) & 31) * 255 / 31);
            row[size_t(x) * 3 + 1] = png_byte(((p >> 5) & 63) * 255 / 63);
            row[size_t(x) * 3 + 2] = png_byte((p & 31) * 255 / 31);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(out) == 0;
}

}  // namespace platform
