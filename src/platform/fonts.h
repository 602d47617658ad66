// TrueType text onto the display surface. Faces are known by name once the
// game adds their font file; the face name is the file's name without its
// extension. Sizes are points at 96 dots per inch.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/surface.h"

struct _TTF_Font;

namespace platform {

class Fonts {
public:
    Fonts();
    ~Fonts();
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;

    // Adding has no failure of its own: a file that cannot be opened makes
    // its face fall back to the default face when drawn.
    void AddFontResource(const std::string& path);
    bool RemoveFontResource(const std::string& path);

    // Colour is $00BBGGRR; the background stays as it is.
    void Draw(Surface& target, int x, int y, const std::string& text, const std::string& face, int points,
              Colour colour);
    int Width(const std::string& text, const std::string& face, int points);

private:
    _TTF_Font* Open(const std::string& face, int points);
    std::string FileForFace(const std::string& face) const;

    bool ready_ = false;
    std::map<std::string, std::string> faces_;  // lower-case face name -> file
    std::map<std::pair<std::string, int>, _TTF_Font*> open_;
};

}  // namespace platform
