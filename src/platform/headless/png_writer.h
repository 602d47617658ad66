#pragma once

#include <string>

#include "media/surface.h"

namespace platform {

// Saves the surface as an 8-bit RGB PNG file; false when it cannot be written.
bool SavePng(const media::Surface& surface, const std::string& path);

}  // namespace platform
