#include "platform/fonts.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace platform {

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

}  // namespace

Fonts::Fonts() { ready_ = TTF_WasInit() > 0 || TTF_Init() == 0; }

Fonts::~Fonts() {
    for (auto& [key, font] : open_) {
        if (font) TTF_CloseFont(font);
    }
    if (ready_) TTF_Quit();
}

void Fonts::AddFontResource(const std::string& path) { faces_[Lower(FaceNameOf(path))] = path; }

bool Fonts::RemoveFontResource(const std::string& path) {
    auto it = faces_.find(Lower(FaceNameOf(path)));
    if (it == faces_.end() || it->second != path) return false;
    const std::string face = it->first;
    faces_.erase(it);
    for (auto open = open_.begin(); open != open_.end();) {
        if (open->first.first == face) {
            if (open->second) TTF_CloseFont(open->second);
            open = open_.erase(open);
        } else {
            ++open;
        }
    }
    return true;
}

std::string Fonts::FileForFace(const std::string& face) const {
    if (auto it = faces_.find(face); it != faces_.end() && std::filesystem::exists(it->second)) return it->second;
    for (const char* file : kDefaultFaceFiles) {
        if (std::filesystem::exists(file)) return file;
    }
    for (const auto& [name, file] : faces_) {
        if (std::filesystem::exists(file)) return file;
    }
    return {};
}

TTF_Font* Fonts::Open(const std::string& face, int points) {
    if (!ready_ || points <= 0) return nullptr;
    const auto key = std::make_pair(Lower(face), points);
    if (auto it = open_.find(key); it != open_.end()) return it->second;
    TTF_Font* font = nullptr;
    const std::string file = FileForFace(key.first);
    if (!file.empty()) font = TTF_OpenFontDPI(file.c_str(), points, 96, 96);
    open_[key] = font;  // a face that failed stays failed: no retry every frame
    return font;
}

void Fonts::Draw(Surface& target, int x, int y, const std::string& text, const std::string& face, int points,
                 Colour colour) {
    if (text.empty()) return;
    TTF_Font* font = Open(face, points);
    if (!font) return;
    const Uint8 r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = (colour >> 16) & 0xFF;
    SDL_Surface* rendered = TTF_RenderText_Blended(font, text.c_str(), SDL_Color{r, g, b, 255});
    if (!rendered) return;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!argb) return;
    SDL_LockSurface(argb);
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + argb->w, target.Width()), y1 = std::min(y + argb->h, target.Height());
    for (int ty = y0; ty < y1; ++ty) {
        const auto* src = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) +
                                                          size_t(ty - y) * argb->pitch) + (x0 - x);
        uint16_t* dst = target.Row(ty) + x0;
        for (int tx = x0; tx < x1; ++tx, ++src, ++dst) {
            const unsigned a = *src >> 24;
            if (a == 0) continue;
            const unsigned d = *dst;
            const unsigned dr = ((d >> 11) & 31) * 255 / 31, dg = ((d >> 5) & 63) * 255 / 63, db = (d & 31) * 255 / 31;
            const unsigned nr = (r * a + dr * (255 - a)) / 255;
            const unsigned ng = (g * a + dg * (255 - a)) / 255;
            const unsigned nb = (b * a + db * (255 - a)) / 255;
            *dst = ToRgb565(uint8_t(nr), uint8_t(ng), uint8_t(nb));
        }
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
}

int Fonts::Width(const std::string& text, const std::string& face, int points) {
    TTF_Font* font = Open(face, points);
    int w = 0, h = 0;
    if (!font || text.empty() || TTF_SizeText(font, text.c_str(), &w, &h) != 0) return 0;
    return w;
}

}  // namespace platform
