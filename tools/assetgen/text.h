// Text rendered from the game's own font files through SDL2_ttf, at 96 dpi
// like the game, into coverage masks that the canvas paints and outlines.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

struct _TTF_Font;

namespace assetgen {

class Font {
public:
    Font(const std::string& path, int points);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    int Measure(const std::string& text) const;
    int LineHeight() const;
    int Ascent() const;
    Mask Render(const std::string& text) const;
    // Breaks a paragraph into lines no wider than `width` pixels.
    std::vector<std::string> Wrap(const std::string& text, int width) const;

private:
    _TTF_Font* font_ = nullptr;
};

// How a piece of text is decorated: fill, outline, drop shadow and glow.
struct TextStyle {
    Paint fill;
    float outline = 0;  // pixels
    Rgb outlineColor{};
    int shadow = 0;  // pixels down and right
    Rgb shadowColor{};
    int glow = 0;  // blur radius in pixels
    Rgb glowColor{};
    float glowStrength = 0.8f;
};

// Draws text with its top-left corner at (x, y) and returns its width.
int DrawText(Canvas& c, const Font& f, const std::string& text, int x, int y, const TextStyle& st);
// Draws text centred on x.
int DrawTextCentred(Canvas& c, const Font& f, const std::string& text, int cx, int y, const TextStyle& st);

// Opens SDL2_ttf for the lifetime of the object.
class TextSystem {
public:
    TextSystem();
    ~TextSystem();
};

}  // namespace assetgen
