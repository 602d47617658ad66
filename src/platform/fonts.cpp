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
            if (open->second) TTF_CloseFont(open->second);
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

TTF_Font* Fonts::Open(const std::string& face, int points) {
    if (!ready_ || points <= 0) return nullptr;
    const auto key = std::make_pair(Lower(face), points);
    if (auto it = open_.find(key); it != open_.end()) return it->second;
    TTF_Font* font = nullptr;
    // A missing or damaged file gives way to the next candidate.
    for (const std::string& file : CandidateFiles(key.first)) {
        font = TTF_OpenFontDPI(file.c_str(), points, 96, 96);
        if (font) break;
    }
    open_[key] = font;  // a face that failed stays failed: no retry every frame
    return font;
}

const Fonts::Rendered* Fonts::Render(const std::string& text, const std::string& face, int points) {
    const RenderKey key{Lower(face), points, text};
    if (auto it = rendered_.find(key); it != rendered_.end()) return &it->second;
    TTF_Font* font = Open(face, points);
    if (!font) return nullptr;
    SDL_Surface* surface = TTF_RenderText_Blended(font, text.c_str(), SDL_Color{255, 255, 255, 255});
    if (!surface) return nullptr;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(surface, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(surface);
    if (!argb) return nullptr;
    Rendered rendered;
    rendered.width = argb->w;
    rendered.height = argb->h;
    rendered.alpha.resize(size_t(argb->w) * argb->h);
    SDL_LockSurface(argb);
    for (int y = 0; y < argb->h; ++y) {
        const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) +
                                                          size_t(y) * argb->pitch);
        for (int x = 0; x < argb->w; ++x) rendered.alpha[size_t(y) * argb->w + x] = uint8_t(row[x] >> 24);
    }
    SDL_UnlockSurface(argb);
    SDL_FreeSurface(argb);
    constexpr size_t kMaxRendered = 512;  // changing texts (scores) must not grow it for ever
    if (rendered_.size() >= kMaxRendered) rendered_.clear();
    return &rendered_.emplace(key, std::move(rendered)).first->second;
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
    TTF_Font* font = Open(face, points);
    int w = 0, h = 0;
    if (!font || text.empty() || TTF_SizeText(font, text.c_str(), &w, &h) != 0) return 0;
    return w;
}

}  // namespace platform
