#include "context.h"

#include <cmath>
#include <sstream>
#include <stdexcept>

namespace assetgen {

PixelFont::PixelFont(const std::string& source) {
    std::istringstream in(source);
    std::string line;
    Glyph* cur = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || (line[0] == '#' && line.size() > 1 && line[1] == ' ')) continue;
        if (line.size() == 3 && line[0] == '=' && line[1] == ' ') {
            cur = &glyphs_[line[2]];
            continue;
        }
        if (!cur) throw std::runtime_error("pixel font: rows before a glyph name");
        cur->width = std::max(cur->width, int(line.size()));
        cur->rows.push_back(line);
    }
    for (const auto& [ch, g] : glyphs_)
        if (g.rows.size() != 5)
            throw std::runtime_error(std::string("pixel font: glyph ") + ch + " is not 5 rows");
}

int PixelFont::Measure(const std::string& text) const {
    int w = 0;
    for (char ch : text) {
        auto it = glyphs_.find(ch);
        w += (it == glyphs_.end() ? 2 : it->second.width) + 1;
    }
    return w > 0 ? w - 1 : 0;
}

void PixelFont::Draw(Canvas& c, const std::string& text, float cx, float cy, int scale, Rgb fill,
                     Rgb ink) const {
    const int w = Measure(text) * scale, h = 5 * scale;
    const int x0 = int(std::lround(cx - w / 2.f)), y0 = int(std::lround(cy - h / 2.f));
    for (int pass = 0; pass < 2; ++pass) {
        int x = x0;
        for (char ch : text) {
            auto it = glyphs_.find(ch);
            if (it == glyphs_.end()) {
                x += 3 * scale;
                continue;
            }
            const Glyph& g = it->second;
            for (int r = 0; r < 5; ++r)
                for (int col = 0; col < int(g.rows[r].size()); ++col) {
                    if (g.rows[r][col] != '#') continue;
                    const int px = x + col * scale, py = y0 + r * scale;
                    if (pass == 0)
                        c.FillRect(px - 1, py - 1, scale + 2, scale + 2, ink);
                    else
                        c.FillRect(px, py, scale, scale, fill);
                }
            x += (g.width + 1) * scale;
        }
    }
}

Context::Context(fs::path source, fs::path output)
    : source_(std::move(source)),
      output_(std::move(output)),
      pixels_(ReadText(source_ / "art" / "font3x5.txt")) {}

const Font& Context::Display(int points) { return Get(0, points); }
const Font& Context::Rounded(int points) { return Get(1, points); }

const Font& Context::Get(int face, int points) {
    auto& slot = fonts_[{face, points}];
    if (!slot) {
        const fs::path file =
            source_ / "fonts" / (face == 0 ? "LeagueSpartan-Black.otf" : "Comfortaa-Bold.ttf");
        slot = std::make_unique<Font>(file.string(), points);
    }
    return *slot;
}

void Context::Add(Picture p) {
    for (const Picture& q : pictures_)
        if (q.file == p.file) throw std::runtime_error("picture made twice: " + p.file);
    if (p.canvas.Width() % p.patternWidth || p.canvas.Height() % p.patternHeight)
        throw std::runtime_error("picture is not a whole number of patterns: " + p.file);
    pictures_.push_back(std::move(p));
}

Canvas Context::FirstPattern(const std::string& baseName) const {
    for (const Picture& p : pictures_)
        if (CataloguePath(p.file).stem() == baseName)
            return p.canvas.Crop(0, 0, p.patternWidth, p.patternHeight);
    throw std::runtime_error("no picture named " + baseName);
}

}  // namespace assetgen
