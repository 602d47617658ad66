#include "media/fonts.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "formats/files.h"

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb_truetype.h>

namespace media {

namespace {

// Used for faces the game never added, as a desktop substitutes a face.
constexpr const char* kDefaultFaceFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::string FaceNameOf(const std::string& path) { return std::filesystem::path(path).stem().string(); }

// ------------------------------------------------------------ font tables
// Big-endian reads; callers have checked the bounds.
uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t U32(const uint8_t* p) { return U16(p) << 16 | U16(p + 2); }
int32_t S16(const uint8_t* p) { return int16_t(U16(p)); }

struct Table {
    const uint8_t* data = nullptr;
    uint32_t length = 0;
};

// The table directory of a font file; every table lies within the file.
std::map<std::string, Table> ReadTables(const std::vector<uint8_t>& file) {
    std::map<std::string, Table> tables;
    if (file.size() < 12) return tables;
    const uint32_t version = U32(file.data());
    if (version != 0x00010000 && version != 0x4F54544F /* OTTO */ && version != 0x74727565 /* true */) {
        return tables;
    }
    const uint32_t count = U16(file.data() + 4);
    if (12 + uint64_t(count) * 16 > file.size()) return tables;
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* entry = file.data() + 12 + i * 16;
        const uint32_t offset = U32(entry + 8), length = U32(entry + 12);
        if (uint64_t(offset) + length > file.size()) return {};
        tables[std::string(reinterpret_cast<const char*>(entry), 4)] = Table{file.data() + offset, length};
    }
    return tables;
}

// The renderer trusts the tables it reads, so a damaged file must be caught
// here: the tables it needs, of their least size, with glyph offsets that
// stay inside the glyph table.
bool Readable(const std::map<std::string, Table>& tables) {
    const auto has = [&](const char* tag, uint32_t least) {
        const auto it = tables.find(tag);
        return it != tables.end() && it->second.length >= least;
    };
    if (!has("head", 54) || !has("hhea", 36) || !has("maxp", 6) || !has("cmap", 4) || !has("hmtx", 4)) {
        return false;
    }
    const uint32_t units = U16(tables.at("head").data + 18);
    const uint32_t metrics = U16(tables.at("hhea").data + 34);
    const uint32_t glyphs = U16(tables.at("maxp").data + 4);
    if (units < 16 || units > 16384 || metrics == 0 || tables.at("hmtx").length < metrics * 4) return false;
    if (has("CFF ", 4)) return true;
    if (!has("glyf", 0) || !has("loca", 0)) return false;
    const bool longOffsets = S16(tables.at("head").data + 50) == 1;
    const Table loca = tables.at("loca");
    const uint32_t glyfLength = tables.at("glyf").length;
    if (loca.length < (uint64_t(glyphs) + 1) * (longOffsets ? 4 : 2)) return false;
    for (uint32_t g = 0; g <= glyphs; ++g) {
        const uint64_t offset = longOffsets ? U32(loca.data + g * 4) : uint64_t(U16(loca.data + g * 2)) * 2;
        if (offset > glyfLength) return false;
    }
    return true;
}

// ------------------------------------------------- whole-pixel arithmetic
// Sizes are kept in 26.6 fixed point (64ths of a pixel) and scales in 16.16,
// rounded the way the usual desktop font engine rounds them: that decides
// where each letter lands, so it is kept exact.
int64_t MulFix(int64_t a, int64_t b) {
    const int64_t c = a * b;
    return c >= 0 ? (c + 0x8000) >> 16 : -((-c + 0x8000) >> 16);
}
int64_t DivFix(int64_t a, int64_t b) { return (a * 65536 + b / 2) / b; }
int64_t PixRound(int64_t x) { return (x + 32) & ~int64_t(63); }
int Ceil26(int64_t x) { return int(((x + 63) & ~int64_t(63)) / 64); }
int Floor26(int64_t x) { return int((x & ~int64_t(63)) / 64); }

}  // namespace

// One font file opened at one size.
class Fonts::Face {
public:
    static std::unique_ptr<Face> Open(const std::string& path, int points) {
        auto bytes = formats::ReadFileBytes(path);
        if (!bytes) return nullptr;
        auto face = std::unique_ptr<Face>(new Face(std::move(*bytes)));
        return face->Init(points) ? std::move(face) : nullptr;
    }

    int Width(const std::string& text) const {
        const Layout layout = Lay(text, nullptr);
        return layout.right - layout.left;
    }

    Rendered Render(const std::string& text) const {
        std::vector<Glyph> glyphs;
        const Layout layout = Lay(text, &glyphs);
        Rendered rendered;
        rendered.width = layout.right - layout.left;
        rendered.height = height_;
        rendered.alpha.assign(size_t(rendered.width) * rendered.height, 0);
        std::vector<uint8_t> coverage;
        for (const Glyph& glyph : glyphs) {
            const int w = glyph.x1 - glyph.x0, h = glyph.y1 - glyph.y0;
            coverage.assign(size_t(w) * h, 0);
            stbtt_MakeGlyphBitmap(&info_, coverage.data(), w, h, w, pixelScale_, pixelScale_, glyph.index);
            // Overlapping letters (kerned pairs) keep the stronger coverage.
            for (int row = 0; row < h; ++row) {
                const int y = ascent_ + glyph.y0 + row;
                if (y < 0 || y >= rendered.height) continue;
                for (int column = 0; column < w; ++column) {
                    const int x = glyph.x + glyph.x0 + column - layout.left;
                    uint8_t& out = rendered.alpha[size_t(y) * rendered.width + x];
                    out = std::max(out, coverage[size_t(row) * w + column]);
                }
            }
        }
        return rendered;
    }

private:
    struct Glyph {
        int index;
        int x;               // the pen's whole pixel
        int x0, y0, x1, y1;  // the ink around the pen, y from the baseline down
    };
    struct Layout {
        int left = 0;   // the leftmost ink, never right of the pen's start
        int right = 0;  // the rightmost ink or the pen's end
    };

    explicit Face(std::vector<uint8_t> data) : data_(std::move(data)) {}

    bool Init(int points) {
        const auto tables = ReadTables(data_);
        if (!Readable(tables) || !stbtt_InitFont(&info_, data_.data(), 0)) return false;
        const uint8_t* head = tables.at("head").data;
        const uint8_t* hhea = tables.at("hhea").data;
        const int64_t units = U16(head + 18);
        int64_t ascender = S16(hhea + 4), descender = S16(hhea + 6);
        const auto os2 = tables.find("OS/2");
        if (ascender == 0 && descender == 0 && os2 != tables.end() && os2->second.length >= 74) {
            ascender = S16(os2->second.data + 68);
            descender = S16(os2->second.data + 70);
        }
        // Points at 96 dpi, in 64ths of a pixel; TrueType outlines may ask for
        // whole pixels per em.
        int64_t ppem = (int64_t(points) * 64 * 96 + 36) / 72;
        if (tables.count("glyf") && (U16(head + 16) & 8)) ppem = PixRound(ppem);
        scale_ = DivFix(ppem, units);
        pixelScale_ = float(double(scale_) / 65536.0 / 64.0);
        ascent_ = Ceil26(MulFix(ascender, scale_));
        height_ = Ceil26(MulFix(ascender - descender, scale_));
        return height_ > 0;
    }

    // Advances are whole pixels; kerning moves the pen by fractions, and each
    // letter starts at the pen's whole pixel.
    Layout Lay(const std::string& text, std::vector<Glyph>* glyphs) const {
        Layout layout;
        int64_t pen = 0;
        int previous = -1;
        for (unsigned char c : text) {
            const int index = stbtt_FindGlyphIndex(&info_, c);
            if (previous >= 0) pen += MulFix(stbtt_GetGlyphKernAdvance(&info_, previous, index), scale_);
            Glyph glyph{index, Floor26(pen), 0, 0, 0, 0};
            stbtt_GetGlyphBitmapBox(&info_, index, pixelScale_, pixelScale_, &glyph.x0, &glyph.y0, &glyph.x1,
                                    &glyph.y1);
            if (glyph.x1 > glyph.x0 && glyph.y1 > glyph.y0) {
                layout.left = std::min(layout.left, glyph.x + glyph.x0);
                layout.right = std::max(layout.right, glyph.x + glyph.x1);
                if (glyphs) glyphs->push_back(glyph);
            }
            int advance = 0, bearing = 0;
            stbtt_GetGlyphHMetrics(&info_, index, &advance, &bearing);
            pen += PixRound(MulFix(advance, scale_));
            previous = index;
        }
        layout.right = std::max(layout.right, Floor26(pen));
        return layout;
    }

    std::vector<uint8_t> data_;
    stbtt_fontinfo info_{};
    int64_t scale_ = 0;  // 64ths of a pixel per font unit, in 16.16
    float pixelScale_ = 0;
    int ascent_ = 0;
    int height_ = 0;
};

Fonts::Fonts() = default;
Fonts::~Fonts() = default;

void Fonts::AddFontResource(const std::string& path) {
    const std::string face = Lower(FaceNameOf(path));
    faces_[face] = path;
    ForgetOpened(face);  // it may have been drawn in the default face before
}

bool Fonts::RemoveFontResource(const std::string& path) {
    auto it = faces_.find(Lower(FaceNameOf(path)));
    if (it == faces_.end() || it->second != path) return false;
    const std::string face = it->first;
    faces_.erase(it);
    ForgetOpened(face);
    return true;
}

void Fonts::ForgetOpened(const std::string& face) {
    for (auto open = open_.begin(); open != open_.end();) {
        if (open->first.first == face) {
            open = open_.erase(open);
            rendered_.clear();
        } else {
            ++open;
        }
    }
}

std::vector<std::string> Fonts::CandidateFiles(const std::string& face) const {
    std::vector<std::string> files;
    if (auto it = faces_.find(face); it != faces_.end()) files.push_back(it->second);
    files.insert(files.end(), std::begin(kDefaultFaceFiles), std::end(kDefaultFaceFiles));
    for (const auto& [name, file] : faces_) {
        if (name != face) files.push_back(file);
    }
    return files;
}

const Fonts::Face* Fonts::Open(const std::string& face, int points) {
    if (points <= 0) return nullptr;
    const auto key = std::make_pair(Lower(face), points);
    if (auto it = open_.find(key); it != open_.end()) return it->second.get();
    std::unique_ptr<Face> font;
    // A missing or damaged file gives way to the next candidate.
    for (const std::string& file : CandidateFiles(key.first)) {
        font = Face::Open(file, points);
        if (font) break;
    }
    // A face that failed stays failed: no retry every frame.
    return open_.emplace(key, std::move(font)).first->second.get();
}

const Fonts::Rendered* Fonts::Render(const std::string& text, const std::string& face, int points) {
    const RenderKey key{Lower(face), points, text};
    if (auto it = rendered_.find(key); it != rendered_.end()) return &it->second;
    const Face* font = Open(face, points);
    if (!font) return nullptr;
    constexpr size_t kMaxRendered = 512;  // changing texts (scores) must not grow it for ever
    if (rendered_.size() >= kMaxRendered) rendered_.clear();
    return &rendered_.emplace(key, font->Render(text)).first->second;
}

void Fonts::Draw(Surface& target, int x, int y, const std::string& text, const std::string& face, int points,
                 Colour colour) {
    if (text.empty()) return;
    const Rendered* rendered = Render(text, face, points);
    if (!rendered) return;
    const unsigned r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + rendered->width, target.Width());
    const int y1 = std::min(y + rendered->height, target.Height());
    for (int ty = y0; ty < y1; ++ty) {
        const uint8_t* src = rendered->alpha.data() + size_t(ty - y) * rendered->width + (x0 - x);
        uint16_t* dst = target.Row(ty) + x0;
        for (int tx = x0; tx < x1; ++tx, ++src, ++dst) {
            const unsigned a = *src;
            if (a == 0) continue;
            const unsigned d = *dst;
            const unsigned dr = ((d >> 11) & 31) * 255 / 31, dg = ((d >> 5) & 63) * 255 / 63,
                           db = (d & 31) * 255 / 31;
            *dst = ToRgb565(uint8_t((r * a + dr * (255 - a)) / 255), uint8_t((g * a + dg * (255 - a)) / 255),
                            uint8_t((b * a + db * (255 - a)) / 255));
        }
    }
}

int Fonts::Width(const std::string& text, const std::string& face, int points) {
    const Face* font = Open(face, points);
    return font && !text.empty() ? font->Width(text) : 0;
}

}  // namespace media
