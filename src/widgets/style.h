// The two type faces the game registers and the colours of its texts.
#pragma once

#include "media/surface.h"

namespace widgets {

constexpr const char* kShotgunFace = "Shotgun BT";
constexpr const char* kBauhausFace = "Bauhaus Hv BT";
// The size of the game screen's status panel text, in points.
constexpr int kStatusPanelPoints = 16;

// $00BBGGRR
constexpr media::Colour kRed = 0x0000FF;
constexpr media::Colour kGreen = 0x00FF00;
constexpr media::Colour kYellow = 0x00FFFF;
constexpr media::Colour kWhite = 0xFFFFFF;
constexpr media::Colour kTableColour = 220u << 16 | 220u << 8 | 32u;

}  // namespace widgets
