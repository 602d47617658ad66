// TrueType and OpenType text onto the display surface, drawn by one renderer
// on every backend so that the desktop and the browser show the same pixels.
// Faces are known by name once the game adds their font file; the face name
// is the file's name without its extension. Sizes are points at 96 dots per
// inch. Sizes, advances and the baseline are placed on whole pixels the way
// the desktop's usual font engine does it, so texts keep their width.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "media/surface.h"

namespace media {

class Fonts {
public:
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // Adding has no failure of its own: a file that is missing or cannot be
    // read makes its face fall back to the default face when drawn.
    void AddFontResource(const std::string& path);
    bool RemoveFontResource(const std::string& path);

    // Colour is $00BBGGRR; the background stays as it is.
    void Draw(Surface& target, int x, int y, const std::string& text, const std::string& face, int points,
              Colour colour);
    int Width(const std::string& text, const std::string& face, int points);

private:
    class Face;
    // A rendered text: coverage 0..255 per pixel.
    struct Rendered {
        int width = 0;
        int height = 0;
        std::vector<uint8_t> alpha;
    };
    using RenderKey = std::tuple<std::string, int, std::string>;  // face, points, text

    const Face* Open(const std::string& face, int points);
    void ForgetOpened(const std::string& face);
    const Rendered* Render(const std::string& text, const std::string& face, int points);
    // The face's own file first, then the default faces, then any added one.
    std::vector<std::string> CandidateFiles(const std::string& face) const;

    std::map<std::string, std::string> faces_;  // lower-case face name -> file
    std::map<std::pair<std::string, int>, std::unique_ptr<Face>> open_;
    // Most texts (the status panel, menus) are drawn again every frame.
    std::map<RenderKey, Rendered> rendered_;
};

}  // namespace media
