#include "files.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "formats/file_writers.h"

namespace assetgen {

std::string ReadText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + p.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const fs::path& p, const std::vector<uint8_t>& bytes) {
    fs::create_directories(p.parent_path());
    if (fs::exists(p) && fs::file_size(p) == bytes.size()) {
        const std::string old = ReadText(p);
        if (std::equal(old.begin(), old.end(), bytes.begin())) return;
    }
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + p.string());
}

std::vector<uint8_t> EncodeBmp(const Canvas& c, bool overBlack) {
    return formats::EncodeBmp(c.Width(), c.Height(), c.ToRgb24(overBlack));
}

void WritePng(const fs::path& p, const Canvas& c, bool keepAlpha) {
    fs::create_directories(p.parent_path());
    FILE* f = std::fopen(p.string().c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + p.string());
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        throw std::runtime_error("PNG encoding failed");
    }
    png_init_io(png, f);
    const int channels = keepAlpha ? 4 : 3;
    png_set_IHDR(png, info, uint32_t(c.Width()), uint32_t(c.Height()), 8,
                 keepAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<uint8_t> row(size_t(c.Width()) * channels);
    for (int y = 0; y < c.Height(); ++y) {
        for (int x = 0; x < c.Width(); ++x) {
            const Rgba& px = c.At(x, y);
            // Without alpha the picture is shown over black.
            const float k = keepAlpha ? 1.f : px.a;
            auto q = [&](float v) { return uint8_t(std::clamp(int(std::lround(v * k)), 0, 255)); };
            uint8_t* out = &row[size_t(x) * channels];
            out[0] = q(px.r);
            out[1] = q(px.g);
            out[2] = q(px.b);
            if (keepAlpha) out[3] = uint8_t(std::clamp(int(std::lround(px.a * 255.f)), 0, 255));
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

int NoteNumber(const std::string& name) {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2) throw std::runtime_error("bad note name: " + name);
    const char letter = char(std::toupper(name[0]));
    if (letter < 'A' || letter > 'G') throw std::runtime_error("bad note name: " + name);
    int n = base[letter - 'A'];
    size_t i = 1;
    for (; i < name.size() && (name[i] == '#' || name[i] == 'b'); ++i) n += name[i] == '#' ? 1 : -1;
    if (i >= name.size()) throw std::runtime_error("bad note name: " + name);
    return n + 12 * (std::stoi(name.substr(i)) + 1);
}

std::string StripComment(const std::string& line) {
    for (size_t i = 0; i < line.size(); ++i)
        if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
    return line;
}

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    const size_t b = s.find_last_not_of(" \t\r\n");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string cur;
    for (char ch : s) {
        if (ch == sep) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += ch;
        }
    }
    out.push_back(cur);
    return out;
}

fs::path CataloguePath(const std::string& value) {
    std::string v = value.substr(0, value.find(','));
    std::replace(v.begin(), v.end(), '\\', '/');
    while (!v.empty() && v.front() == '/') v.erase(v.begin());
    return fs::path(v);
}

}  // namespace assetgen
