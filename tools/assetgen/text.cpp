#include "text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <sstream>
#include <stdexcept>

namespace assetgen {

TextSystem::TextSystem() {
    if (TTF_Init() != 0) throw std::runtime_error(std::string("TTF_Init: ") + TTF_GetError());
}

TextSystem::~TextSystem() { TTF_Quit(); }

Font::Font(const std::string& path, int points) {
    font_ = TTF_OpenFontDPI(path.c_str(), points, 96, 96);
    if (!font_) throw std::runtime_error("cannot open font " + path);
    TTF_SetFontHinting(font_, TTF_HINTING_LIGHT);
}

Font::~Font() { TTF_CloseFont(font_); }

int Font::Measure(const std::string& text) const {
    int w = 0, h = 0;
    if (text.empty() || TTF_SizeUTF8(font_, text.c_str(), &w, &h) != 0) return 0;
    return w;
}

int Font::LineHeight() const { return TTF_FontLineSkip(font_); }
int Font::Ascent() const { return TTF_FontAscent(font_); }

Mask Font::Render(const std::string& text) const {
    if (text.empty()) return Mask(1, LineHeight());
    SDL_Color white{255, 255, 255, 255};
    SDL_Surface* s = TTF_RenderUTF8_Blended(font_, text.c_str(), white);
    if (!s) throw std::runtime_error("cannot render text: " + text);
    SDL_Surface* conv = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(s);
    if (!conv) throw std::runtime_error("cannot convert text surface");
    Mask m(conv->w, conv->h);
    SDL_LockSurface(conv);
    for (int y = 0; y < conv->h; ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(conv->pixels) + y * conv->pitch);
        for (int x = 0; x < conv->w; ++x) m.At(x, y) = float(row[x] >> 24) / 255.f;
    }
    SDL_UnlockSurface(conv);
    SDL_FreeSurface(conv);
    return m;
}

std::vector<std::string> Font::Wrap(const std::string& text, int width) const {
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word, line;
    while (words >> word) {
        const std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && Measure(candidate) > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

int DrawText(Canvas& c, const Font& f, const std::string& text, int x, int y, const TextStyle& st) {
    const int pad = int(st.outline) + st.glow * 3 + 2;
    const Mask m = f.Render(text).Padded(pad);
    const int ox = x - pad, oy = y - pad;
    if (st.glow > 0)
        c.DrawMask(m.Dilated(std::max(1.f, st.outline)).Blurred(st.glow), ox, oy, Solid(st.glowColor),
                   st.glowStrength);
    const Mask outline = st.outline > 0 ? m.Dilated(st.outline) : Mask();
    if (st.shadow > 0)
        c.DrawMask(st.outline > 0 ? outline : m, ox + st.shadow, oy + st.shadow, Solid(st.shadowColor), 0.9f);
    if (st.outline > 0) c.DrawMask(outline, ox, oy, Solid(st.outlineColor));
    c.DrawMask(m, ox, oy, st.fill ? st.fill : Solid(MakeRgb(255, 255, 255)));
    return f.Measure(text);
}

int DrawTextCentred(Canvas& c, const Font& f, const std::string& text, int cx, int y, const TextStyle& st) {
    return DrawText(c, f, text, cx - f.Measure(text) / 2, y, st);
}

}  // namespace assetgen
