// Writing the game's file formats and reading the small text formats of the
// asset sources (INI files are read with the game's own reader).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "canvas.h"

namespace assetgen {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& p);
// Writes only when the content differs, so unchanged outputs keep their times.
void WriteBytes(const fs::path& p, const std::vector<uint8_t>& bytes);

// 24-bit uncompressed BMP, rows bottom-up as the format stores them
// (see Canvas::ToRgb24 for the two ways of flattening).
std::vector<uint8_t> EncodeBmp(const Canvas& c, bool overBlack);
// 8-bit RGB PNG of a canvas over an opaque background.
// keepAlpha: an RGBA file; otherwise RGB as shown over black.
void WritePng(const fs::path& p, const Canvas& c, bool keepAlpha = false);

// Converts a catalogue path written with backslashes to a relative path.
fs::path CataloguePath(const std::string& value);

// MIDI note number of a name such as "C4" (60), "F#3" or "Bb5".
int NoteNumber(const std::string& name);

// The line without its comment: "#" at the start or after a blank ("F#4" is a note).
std::string StripComment(const std::string& line);

std::string Trim(const std::string& s);
std::vector<std::string> Split(const std::string& s, char sep);

}  // namespace assetgen
