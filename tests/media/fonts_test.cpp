#include "media/fonts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using media::Fonts;

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

// Widths and heights as the desktop's font engine laid these texts out before
// this renderer: the menus and the message line are placed by them.
TEST(Fonts, TextsKeepTheirWidthsWithWholePixelAdvancesAndKerning) {
    Fonts fonts;
    const std::string dir = std::string(MUNCHORA_PROGRAM_DIR) + "/Data/Fonts/";
    fonts.AddFontResource(dir + "Shotgun BT.ttf");
    fonts.AddFontResource(dir + "Bauhaus Hv BT.ttf");
    EXPECT_EQ(fonts.Width("Eaten dots: 100%", "Shotgun BT", 16), 166);
    EXPECT_EQ(fonts.Width("Push <FIRE>", "Bauhaus Hv BT", 20), 166);
    EXPECT_EQ(fonts.Width("AVATAR Toy Wave fjord", "Bauhaus Hv BT", 20), 309);
    EXPECT_EQ(fonts.Width("FPS: 60", "Bauhaus Hv BT", 8), 38);
    EXPECT_EQ(fonts.Width("AV", "Bauhaus Hv BT", 20), 36);  // 19 + 20, kerned by 2.1 pixels
    // The line is the font's height; a letter sits on the baseline, 24 pixels down.
    media::Surface surface(100, 40);
    fonts.Draw(surface, 0, 0, "E", "Bauhaus Hv BT", 20, 0x00FFFFFF);
    int lowest = -1;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (surface.Row(y)[x] != 0) lowest = y;
        }
    }
    EXPECT_EQ(lowest, 23);
}

TEST(Fonts, ADamagedOrMissingFileFallsBackToTheDefaultFace) {
    Fonts fonts;
    const int fallback = fonts.Width("Munchora", "Any Face", 20);
    fonts.AddFontResource(TempFontFile("Broken Face.ttf", "not a font at all"));
    fonts.AddFontResource("/nonexistent/Gone Face.ttf");
    // A real font cut short: its table directory points past the end.
    std::ifstream real(std::string(MUNCHORA_PROGRAM_DIR) + "/Data/Fonts/Bauhaus Hv BT.ttf", std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(real)), std::istreambuf_iterator<char>());
    fonts.AddFontResource(TempFontFile("Cut Face.ttf", whole.substr(0, whole.size() / 2)));
    EXPECT_EQ(fonts.Width("Munchora", "Cut Face", 20), fallback);
    EXPECT_EQ(fonts.Width("Munchora", "Broken Face", 20), fallback);
    EXPECT_EQ(fonts.Width("Munchora", "Gone Face", 20), fallback);
    media::Surface surface(200, 50);
    fonts.Draw(surface, 0, 0, "Munchora", "Broken Face", 20, 0x00FFFFFF);
    EXPECT_NE(std::count(surface.Pixels(), surface.Pixels() + 200 * 50, uint16_t(0)), 200 * 50);
}
