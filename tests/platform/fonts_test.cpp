#include "platform/fonts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using platform::Fonts;

namespace {

std::string TempFontFile(const std::string& name, const std::string& content) {
    const auto dir = std::filesystem::temp_directory_path() / ("munchora_fonts_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

}  // namespace

TEST(Fonts, AnAddedFaceDrawsWithItsOwnFile) {
    Fonts fonts;
    const int fallback = fonts.Width("Munchora", "Shotgun BT", 20);
    fonts.AddFontResource(std::string(MUNCHORA_PROGRAM_DIR) + "/Data/Fonts/Shotgun BT.ttf");
    const int own = fonts.Width("Munchora", "Shotgun BT", 20);
    EXPECT_GT(fallback, 0);
    EXPECT_GT(own, 0);
    EXPECT_NE(own, fallback);
}

TEST(Fonts, ADamagedOrMissingFileFallsBackToTheDefaultFace) {
    Fonts fonts;
    const int fallback = fonts.Width("Munchora", "Any Face", 20);
    fonts.AddFontResource(TempFontFile("Broken Face.ttf", "not a font at all"));
    fonts.AddFontResource("/nonexistent/Gone Face.ttf");
    EXPECT_EQ(fonts.Width("Munchora", "Broken Face", 20), fallback);
    EXPECT_EQ(fonts.Width("Munchora", "Gone Face", 20), fallback);
    platform::Surface surface(200, 50);
    fonts.Draw(surface, 0, 0, "Munchora", "Broken Face", 20, 0x00FFFFFF);
    EXPECT_NE(std::count(surface.Pixels(), surface.Pixels() + 200 * 50, uint16_t(0)), 200 * 50);
}
