// The two type faces the game registers and the colours of its texts.
#pragma once

#include "platform/surface.h"

namespace widgets {

constexpr const char* kShotgunFace = "Shotgun BT";
constexpr const char* kBauhausFace = "Bauhaus Hv BT";
// The size of the game screen's status panel text, in points.
constexpr int kStatusPanelPoints = 16;

// $00BBGGRR
constexpr platform::Colour kRed = 0x0000FF;
constexpr platform::Colour kGreen = 0x00FF00;
constexpr platform::Colour kYellow = 0x00FFFF;
constexpr platform::Colour kWhite = 0xFFFFFF;
constexpr platform::Colour kTableColour = 220u << 16 | 220u << 8 | 32u;

}  // namespace widgets
