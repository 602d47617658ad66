// What every part of the generator shares: the source and output folders,
// the fonts, the pixel font and the pictures made so far.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "canvas.h"
#include "files.h"
#include "text.h"

namespace assetgen {

struct Picture {
    std::string file;  // catalogue path with backslashes, "Data\Images\PUp.bmp"
    Canvas canvas;
    int patternWidth = 0;
    int patternHeight = 0;
    bool overBlack = false;  // shown on a black screen, see Canvas::ToRgb24
};

class PixelFont {
public:
    explicit PixelFont(const std::string& source);
    int Measure(const std::string& text) const;
    // Draws text centred on (cx, cy) in pixels, each font pixel `scale` pixels
    // square, with a one-pixel ink outline.
    void Draw(Canvas& c, const std::string& text, float cx, float cy, int scale, Rgb fill, Rgb ink) const;

private:
    struct Glyph {
        int width = 0;
        std::vector<std::string> rows;
    };
    std::map<char, Glyph> glyphs_;
};

class Context {
public:
    Context(fs::path source, fs::path output);

    const fs::path& Source() const { return source_; }
    const fs::path& Output() const { return output_; }
    // "Shotgun BT": the bold display face; "Bauhaus Hv BT": the rounded face.
    const Font& Display(int points);
    const Font& Rounded(int points);
    const PixelFont& Pixels() const { return pixels_; }

    void Add(Picture p);
    const std::vector<Picture>& Pictures() const { return pictures_; }
    // Pattern 0 of a picture made earlier, by its file's base name.
    Canvas FirstPattern(const std::string& baseName) const;

private:
    const Font& Get(int face, int points);

    fs::path source_, output_;
    TextSystem text_;
    std::map<std::pair<int, int>, std::unique_ptr<Font>> fonts_;
    PixelFont pixels_;
    std::vector<Picture> pictures_;
};

// Each part of the pack, in the order the generator runs them.
void MakeActors(Context& cx);
void MakeScreens(Context& cx);
void MakeLevels(Context& cx);
void MakeSounds(Context& cx);
void MakeTunes(Context& cx);
void CopyFonts(Context& cx);
void CheckCatalogue(const Context& cx);
void MakeContactSheet(Context& cx);
// The desktop icon, munchora.png.
void MakeIcon(Context& cx);

}  // namespace assetgen
