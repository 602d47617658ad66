// Checks the built program directory against what the game looks up: every
// picture and sound name in its section of Munchora.ini, files that exist and
// parse, pattern sizes that fit the sprites and the screen layouts, tunes,
// levels and fonts, and that the generator's output is reproducible.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats/bitmap_file.h"

namespace fs = std::filesystem;

namespace {

const fs::path kProgramDir = MUNCHORA_PROGRAM_DIR;
const fs::path kSourceDir = MUNCHORA_SOURCE_DIR;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string::npos) return "";
    return s.substr(a, s.find_last_not_of(" \t\r\n") - a + 1);
}

using Section = std::map<std::string, std::string>;
using Ini = std::map<std::string, Section>;

Ini ParseIni(const std::string& text) {
    Ini ini;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            ini[section];
        } else if (const size_t eq = line.find('='); eq != std::string::npos) {
            ini[section].emplace(line.substr(0, eq), line.substr(eq + 1));
        }
    }
    return ini;
}

const Ini& Catalogue() {
    static const Ini ini = ParseIni(ReadFile(kProgramDir / "Munchora.ini"));
    return ini;
}

fs::path FileOf(const std::string& value) {
    std::string v = value.substr(0, value.find(','));
    std::replace(v.begin(), v.end(), '\\', '/');
    return kProgramDir / v;
}

uint32_t Le32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t Le16(const std::string& b, size_t at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }
uint32_t Be32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 |
           uint32_t(uint8_t(b[at + 2])) << 8 | uint32_t(uint8_t(b[at + 3]));
}

struct Bmp {
    bool ok = false;
    int width = 0, height = 0;
};

// A 24-bit uncompressed BMP with all its pixel rows present.
Bmp ReadBmp(const fs::path& p) {
    const std::string b = ReadFile(p);
    Bmp bmp;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return bmp;
    const int32_t w = int32_t(Le32(b, 18)), h = int32_t(Le32(b, 22));
    if (Le16(b, 28) != 24 || Le32(b, 30) != 0 || w <= 0 || h == 0) return bmp;
    const size_t rowBytes = (size_t(w) * 3 + 3) & ~size_t(3);
    if (b.size() < Le32(b, 10) + rowBytes * size_t(std::abs(h))) return bmp;
    return Bmp{true, w, std::abs(h)};
}

struct Image {
    Bmp bmp;
    int patternW = 0, patternH = 0;
    // None for an image whose look-up failed (and was reported).
    int Patterns() const {
        return patternW > 0 && patternH > 0 ? (bmp.width / patternW) * (bmp.height / patternH) : 0;
    }
};

// Looks an image up in its screen's section, with its picture and pattern size.
Image Lookup(int scene, const std::string& name) {
    const std::string section = "Scene" + std::to_string(scene);
    const auto s = Catalogue().find(section);
    if (s == Catalogue().end()) {
        ADD_FAILURE() << "no section " << section;
        return {};
    }
    const auto e = s->second.find(name);
    if (e == s->second.end()) {
        ADD_FAILURE() << "no image " << name << " in " << section;
        return {};
    }
    std::istringstream parts(e->second);
    std::string file, pw, ph;
    std::getline(parts, file, ',');
    std::getline(parts, pw, ',');
    std::getline(parts, ph, ',');
    Image img;
    img.bmp = ReadBmp(FileOf(file));
    EXPECT_TRUE(img.bmp.ok) << name << ": " << file << " is not a readable 24-bit BMP";
    img.patternW = std::stoi(pw);
    img.patternH = std::stoi(ph);
    EXPECT_GT(img.patternW, 0) << name;
    EXPECT_GT(img.patternH, 0) << name;
    if (img.bmp.ok && img.patternW > 0 && img.patternH > 0) {
        EXPECT_EQ(img.bmp.width % img.patternW, 0) << name << " is not a whole number of patterns wide";
        EXPECT_EQ(img.bmp.height % img.patternH, 0) << name << " is not a whole number of patterns high";
    }
    return img;
}

std::vector<std::string> WithStates(const std::vector<std::string>& prefixes) {
    std::vector<std::string> out;
    for (const auto& p : prefixes) {
        out.push_back(p + "_Normal");
        out.push_back(p + "_Active");
    }
    return out;
}

const std::vector<std::string> kDirections = {"Up", "Right", "Down", "Left"};

// Every 32 x 32 image of the game screen.
std::vector<std::string> CellImages() {
    std::vector<std::string> names = {"BonusKey",
                                      "Key",
                                      "Dot",
                                      "ChomperLife",
                                      "Appearence",
                                      "PUp",
                                      "PDown",
                                      "PLeft",
                                      "PRight",
                                      "Death",
                                      "ChomperHappy",
                                      "EnemyAppearence",
                                      "BossAppearence",
                                      "GhostAppearence",
                                      "EnemyDeath",
                                      "BossDeath",
                                      "GhostDeath",
                                      "BonusMoney",
                                      "Money",
                                      "BonusLife",
                                      "1Up",
                                      "BonusSlow",
                                      "Slow",
                                      "BonusDouble",
                                      "Double",
                                      "BonusKillAll",
                                      "KillAll",
                                      "BonusKill",
                                      "OneKilled",
                                      "BonusKeyboard",
                                      "KeyboardChange",
                                      "GateHorizShut",
                                      "GateHorizOpen",
                                      "GateVertShut",
                                      "GateVertOpen",
                                      "RedBall"};
    for (const char* kind : {"Enemy", "Victim", "Boss", "Ghost"})
        for (const auto& d : kDirections) names.push_back(kind + d);
    return names;
}

// ------------------------------------------------------------------ settings and pictures

TEST(Catalogue, DefaultSettingsAreTheGameDefaults) {
    const Ini source = ParseIni(ReadFile(kSourceDir / "assets" / "Munchora.ini"));
    const Section& g = source.at("General");
    // Louder sounds than a file without the key gets (-5000).
    EXPECT_EQ(g.at("WaveVolume"), "-1000");
    EXPECT_EQ(g.at("MidiVolume"), "200");
    EXPECT_EQ(g.at("GameType"), "1");
    // The one exception: the game ships slower than a file without the key
    // (10 ms), so that the hero crosses 12.5 cells a second.
    EXPECT_EQ(g.at("Timer"), "20");
}

TEST(Catalogue, EveryScreenHasItsPictures) {
    const std::map<int, std::vector<std::string>> scenes = {
        {1, {"Intro"}},
        {2, WithStates({"NewGame", "Password", "Options", "High Scores", "Help", "Exit"})},
        {4, WithStates({"GameOverview", "GameRules", "InterfaceNotes", "AboutVendra", "Credits", "Return"})},
        {6, {"HighScoresList", "Return_Normal", "Return_Active"}},
        {7, {"GameOver"}},
        {8, {"GameComplete"}},
        {9, {"AddHighScore"}},
        {10, WithStates({"GameTypeClassic", "GameTypeFeatures", "WindowMode", "FullScreen", "MusicVolume",
                         "WaveVolume", "GameSpeed", "Return", "Indicator"})},
        {13, {"EnterPassword"}},
    };
    for (const auto& [scene, names] : scenes)
        for (const auto& n : names) Lookup(scene, n);
    for (const char* page : {"GameOverview", "GameRules", "InterfaceNotes", "AboutVendra", "Credits"})
        Lookup(4, page);
    Lookup(10, "Options_Screen");
    Lookup(3, "ExitPrompt");
    Lookup(3, "LevelComplete");
    // The key strip in the panel starts below four rows of life icons.
    const Image hints = Lookup(3, "KeyHints");
    EXPECT_LE(590 + hints.patternW, 800);
    EXPECT_LE(400 + hints.patternH, 600);
}

TEST(Catalogue, GamePicturesAreCellSized) {
    for (const auto& n : CellImages()) {
        const Image img = Lookup(3, n);
        EXPECT_EQ(img.patternW, 32) << n;
        EXPECT_EQ(img.patternH, 32) << n;
    }
    EXPECT_EQ(Lookup(3, "Dot").Patterns(), 1);
}

TEST(Catalogue, AnimationsHaveTheirFrames) {
    // Monsters appear over 32 steps at 1/8 pattern per step.
    for (const char* n : {"EnemyAppearence", "BossAppearence", "GhostAppearence"})
        EXPECT_EQ(Lookup(3, n).Patterns(), 4) << n;
    // The caught hero plays 20 steps at 1/4 pattern per step.
    EXPECT_EQ(Lookup(3, "Death").Patterns(), 5);
    for (const char* n : {"Appearence", "PUp", "PDown", "PLeft", "PRight", "ChomperHappy", "EnemyDeath",
                          "BossDeath", "GhostDeath", "GateHorizShut", "GateHorizOpen", "GateVertShut",
                          "GateVertOpen", "RedBall", "BonusMoney", "Money"})
        EXPECT_GE(Lookup(3, n).Patterns(), 2) << n << " is not animated";
}

TEST(Catalogue, MenuButtonsFitTheirRows) {
    // Centred at y 170 to 420, 50 px apart, all one size.
    const Image first = Lookup(2, "NewGame_Normal");
    for (const auto& n : WithStates({"NewGame", "Password", "Options", "High Scores", "Help", "Exit"})) {
        const Image b = Lookup(2, n);
        EXPECT_EQ(b.patternW, first.patternW) << n;
        EXPECT_EQ(b.patternH, first.patternH) << n;
        EXPECT_LE(b.patternH, 44) << n;
        EXPECT_LE(b.patternW, 800) << n;
    }
}

TEST(Catalogue, HelpScreenFits) {
    // Pages at (30, 30) left of x 490 and above y 580; buttons at x 500 from
    // y 100, 50 px apart; Return at (495, 350).
    for (const char* p : {"GameOverview", "GameRules", "InterfaceNotes", "AboutVendra", "Credits"}) {
        const Image page = Lookup(4, p);
        EXPECT_LE(30 + page.patternW, 490) << p;
        EXPECT_LE(30 + page.patternH, 580) << p;
    }
    for (const auto& n :
         WithStates({"GameOverview", "GameRules", "InterfaceNotes", "AboutVendra", "Credits"})) {
        const Image b = Lookup(4, n);
        EXPECT_LE(b.patternW, 280) << n;
        EXPECT_LE(b.patternH, 44) << n;
    }
    for (int scene : {4, 6, 10})
        for (const auto& n : WithStates({"Return"})) {
            const Image b = Lookup(scene, n);
            EXPECT_LE(495 + b.patternW, 800) << n;
            EXPECT_LE(350 + b.patternH, 400) << n << " would run into the next row";
        }
}

TEST(Catalogue, OptionsScreenFits) {
    // Buttons centred at y 200 to 400 and 500; the indicators slide with their
    // left edge from x 385 to 565 over the music, sound and speed buttons.
    const Image marker = Lookup(10, "Indicator_Normal");
    const Image active = Lookup(10, "Indicator_Active");
    EXPECT_EQ(marker.patternW, active.patternW);
    EXPECT_EQ(marker.patternH, active.patternH);
    for (const auto& n : WithStates({"GameTypeClassic", "GameTypeFeatures", "WindowMode", "FullScreen"}))
        EXPECT_LE(Lookup(10, n).patternH, 50) << n;
    for (const auto& n : WithStates({"MusicVolume", "WaveVolume", "GameSpeed"})) {
        const Image b = Lookup(10, n);
        const int left = (800 - b.patternW) / 2;
        EXPECT_LE(left, 385) << n << " does not reach the start of the track";
        EXPECT_GE(left + b.patternW, 565 + marker.patternW) << n << " does not reach the end of the track";
        EXPECT_LE(b.patternH, 50) << n;
        EXPECT_LE(marker.patternH, 50);
    }
    const Image heading = Lookup(10, "Options_Screen");
    EXPECT_LE(100 + heading.patternH, 200) << "the heading runs into the first button";
    EXPECT_LE(300 + heading.patternW, 800);
}

// WCAG's relative luminance of an sRGB colour, 0 (black) to 1 (white).
double Luminance(const uint8_t* rgb) {
    double sum = 0;
    const double weights[] = {0.2126, 0.7152, 0.0722};
    for (int i = 0; i < 3; ++i) {
        const double c = rgb[i] / 255.0;
        sum += weights[i] * (c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
}

TEST(Catalogue, TheKeyStripsWordsReadAgainstTheBlack) {
    // The words stand right of x 82, over the black screen: their brightest
    // pixels, the letters' cores, against black.
    std::ifstream in(kProgramDir / "Data/Images/KeyHints.bmp", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto picture = formats::DecodeBmp(bytes);
    ASSERT_TRUE(picture);
    double brightest = 0;
    for (int y = 0; y < picture->height; ++y) {
        for (int x = 82; x < picture->width; ++x)
            brightest = std::max(brightest, Luminance(&picture->rgb[size_t(y * picture->width + x) * 3]));
    }
    EXPECT_GE((brightest + 0.05) / 0.05, 4.5);
}

TEST(Catalogue, TextScreensLeaveRoomForTheGamesText) {
    // The high-score table is written from y 180 below the heading at (250, 100).
    const Image list = Lookup(6, "HighScoresList");
    EXPECT_LE(100 + list.patternH, 180);
    // Name entry: "Your score" at y 100 above the picture; the typed name at
    // (300, 400), size 20, up to twelve letters, inside the picture's box.
    const Image entry = Lookup(9, "AddHighScore");
    EXPECT_GE((600 - entry.patternH) / 2, 135);
    for (const Image& typed : {entry, Lookup(13, "EnterPassword")}) {
        EXPECT_LE((600 - typed.patternH) / 2, 390);
        EXPECT_GE((600 - typed.patternH) / 2 + typed.patternH, 440);
        EXPECT_LE((800 - typed.patternW) / 2, 286);
        EXPECT_GE((800 - typed.patternW) / 2 + typed.patternW, 622);
    }
    // Banners centred over the maze stay well inside the screen.
    for (const auto& [scene, name] : std::vector<std::pair<int, std::string>>{
             {3, "LevelComplete"}, {3, "ExitPrompt"}, {7, "GameOver"}, {8, "GameComplete"}}) {
        const Image b = Lookup(scene, name);
        EXPECT_LE(b.patternW, 760) << name;
        EXPECT_LE(b.patternH, 560) << name;
    }
    const Image intro = Lookup(1, "Intro");
    EXPECT_EQ(intro.patternW, 800);
    EXPECT_EQ(intro.patternH, 600);
}

// ------------------------------------------------------------------ sounds

struct Wave {
    bool pcm = false;
    int channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;  // the first channel
};

Wave ReadWave(const fs::path& p) {
    const std::string b = ReadFile(p);
    Wave w;
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return w;
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const std::string id = b.substr(at, 4);
        const uint32_t size = Le32(b, at + 4);
        if (at + 8 + size > b.size()) return w;
        if (id == "fmt " && size >= 16) {
            haveFormat = Le16(b, at + 8) == 1;
            w.channels = Le16(b, at + 10);
            w.rate = int(Le32(b, at + 12));
            w.bits = Le16(b, at + 22);
        } else if (id == "data" && haveFormat && w.bits == 16 && w.channels > 0) {
            for (size_t i = 0; i + 2 * size_t(w.channels) <= size; i += 2 * size_t(w.channels))
                w.samples.push_back(int16_t(Le16(b, at + 8 + i)));
            w.pcm = !w.samples.empty();
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

// The RMS of the loudest 50 ms, the measure the sounds are matched by.
double Loudness(const Wave& w) {
    const size_t window = size_t(w.rate / 20);
    double best = 0, sum = 0;
    for (size_t i = 0; i < w.samples.size(); ++i) {
        const double v = w.samples[i] / 32768.0;
        sum += v * v;
        if (i >= window) sum -= std::pow(w.samples[i - window] / 32768.0, 2);
        best = std::max(best, std::sqrt(std::max(0.0, sum) / double(std::min(i + 1, window))));
    }
    return best;
}

TEST(Catalogue, EverySoundIsAPlayableWave) {
    const std::vector<std::string> names = {
        "GameStart", "GameOver",      "GameComplete", "HighScore", "Button",        "PushButton", "WaveTest",
        "EatDot",    "LevelComplete", "Death",        "Victim",    "RedBallEaten",  "BonusMoney", "BonusLife",
        "BonusSlow", "BonusDouble",   "BonusKillAll", "BonusKill", "BonusKeyboard", "BonusKey"};
    const Section& sounds = Catalogue().at("Sounds");
    std::map<std::string, double> loudness;
    for (const auto& n : names) {
        const auto e = sounds.find(n);
        ASSERT_NE(e, sounds.end()) << "no sound " << n;
        const Wave w = ReadWave(FileOf(e->second));
        ASSERT_TRUE(w.pcm) << n << " is not a 16-bit PCM WAVE";
        EXPECT_TRUE(w.channels == 1 || w.channels == 2) << n;
        EXPECT_TRUE(w.rate == 22050 || w.rate == 44100) << n;
        loudness[n] = Loudness(w);
        if (n == "EatDot") {
            EXPECT_LT(double(w.samples.size()) / w.rate, 0.15) << "the dot sound plays very often";
        }
    }
    // Matched loudness: no effect much louder or quieter than the median
    // (the dot sound is meant to be softer).
    std::vector<double> levels;
    for (const auto& [n, l] : loudness) levels.push_back(l);
    std::sort(levels.begin(), levels.end());
    const double median = levels[levels.size() / 2];
    for (const auto& [n, l] : loudness) {
        EXPECT_LT(l, median * 2.0) << n << " is much louder than the others";
        EXPECT_GT(l, median * (n == "EatDot" ? 0.25 : 0.5)) << n << " is much quieter than the others";
    }
}

// ------------------------------------------------------------------ tunes

struct Tune {
    bool ok = false;
    double seconds = 0;
    std::map<int, int> notesPerChannel;
};

// Reads a Standard MIDI File: note-ons per channel and the playing time.
Tune ReadMidi(const fs::path& p) {
    const std::string b = ReadFile(p);
    Tune t;
    if (b.size() < 14 || b.compare(0, 4, "MThd") != 0) return t;
    const int division = uint8_t(b[12]) << 8 | uint8_t(b[13]);
    const int tracks = uint8_t(b[10]) << 8 | uint8_t(b[11]);
    double usPerQuarter = 500000;
    uint32_t longest = 0;
    size_t at = 8 + Be32(b, 4);
    for (int tr = 0; tr < tracks; ++tr) {
        if (at + 8 > b.size() || b.compare(at, 4, "MTrk") != 0) return t;
        const size_t end = at + 8 + Be32(b, at + 4);
        if (end > b.size()) return t;
        size_t i = at + 8;
        uint32_t tick = 0;
        uint8_t status = 0;
        auto var = [&] {
            uint32_t v = 0;
            while (i < end) {
                const uint8_t c = uint8_t(b[i++]);
                v = (v << 7) | (c & 0x7F);
                if (!(c & 0x80)) break;
            }
            return v;
        };
        while (i < end) {
            tick += var();
            if (uint8_t(b[i]) & 0x80) status = uint8_t(b[i++]);
            if (status == 0xFF) {
                const uint8_t type = uint8_t(b[i++]);
                const uint32_t len = var();
                if (type == 0x51 && len == 3)
                    usPerQuarter = uint8_t(b[i]) << 16 | uint8_t(b[i + 1]) << 8 | uint8_t(b[i + 2]);
                i += len;
            } else if (status == 0xF0 || status == 0xF7) {
                i += var();
            } else {
                const int kind = status >> 4;
                const int data = (kind == 0xC || kind == 0xD) ? 1 : 2;
                if (kind == 0x9 && uint8_t(b[i + 1]) > 0) ++t.notesPerChannel[status & 0x0F];
                i += size_t(data);
            }
        }
        longest = std::max(longest, tick);
        at = end;
    }
    t.seconds = longest / double(division) * usPerQuarter / 1e6;
    t.ok = true;
    return t;
}

TEST(Catalogue, TunesAreLongLoopsWithDrums) {
    std::vector<fs::path> tunes;
    for (const auto& e : fs::directory_iterator(kProgramDir / "Music"))
        if (e.path().extension() == ".mid") tunes.push_back(e.path());
    EXPECT_GE(tunes.size(), 8u);
    for (const char* own : {"01.mid", "02.mid", "03.mid"})
        EXPECT_TRUE(fs::exists(kProgramDir / "Music" / own)) << own;
    for (const auto& p : tunes) {
        const Tune t = ReadMidi(p);
        ASSERT_TRUE(t.ok) << p << " is not a readable MIDI file";
        EXPECT_GE(t.seconds, 60.0) << p;
        EXPECT_GT(t.notesPerChannel.count(9), 0u) << p << " has no drums";
        EXPECT_GE(t.notesPerChannel.size(), 3u) << p << " needs melody, bass and drums";
    }
}

// ------------------------------------------------------------------ levels and fonts

TEST(Catalogue, StarterLevelsAndBackgrounds) {
    for (const char* name : {"Level01", "Level02", "Level03"}) {
        const std::string text = ReadFile(kProgramDir / "Levels" / (std::string(name) + ".map"));
        ASSERT_FALSE(text.empty()) << name;
        const Section g = ParseIni(text).at("General");
        const int w = std::stoi(g.at("MapWidth")), h = std::stoi(g.at("MapHeight"));
        EXPECT_LE(w, 17) << name;
        EXPECT_LE(h, 17) << name;
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line) && line.rfind("[Map]", 0) != 0) {
        }
        std::vector<std::string> rows;
        for (int r = 0; r < h && std::getline(in, line); ++r) rows.push_back(Trim(line));
        ASSERT_EQ(int(rows.size()), h) << name;
        int dots = 0;
        for (const auto& row : rows) dots += int(std::count(row.begin(), row.end(), 'A'));
        EXPECT_GE(dots, 60) << name;
        const int px = std::stoi(g.at("PlayerPointX")), py = std::stoi(g.at("PlayerPointY"));
        EXPECT_NE(rows[size_t(py)][size_t(px)], 'B') << name << ": the player starts in a wall";
        const Bmp bg = ReadBmp(kProgramDir / "Levels" / (std::string(name) + ".bmp"));
        ASSERT_TRUE(bg.ok) << name;
        EXPECT_EQ(bg.width, w * 32) << name;
        EXPECT_EQ(bg.height, h * 32) << name;
    }
}

TEST(Catalogue, FontsWithTheirLicences) {
    const fs::path fonts = kProgramDir / "Data" / "Fonts";
    for (const char* f : {"Shotgun BT.ttf", "Bauhaus Hv BT.ttf"}) {
        const std::string b = ReadFile(fonts / f);
        ASSERT_GE(b.size(), 4u) << f;
        const bool sfnt = b.compare(0, 4, "OTTO") == 0 || b.compare(0, 4, std::string("\0\1\0\0", 4)) == 0;
        EXPECT_TRUE(sfnt) << f << " is not a TrueType or OpenType font";
    }
    int licences = 0;
    for (const auto& e : fs::directory_iterator(fonts))
        if (ReadFile(e.path()).find("SIL OPEN FONT LICENSE") != std::string::npos) ++licences;
    EXPECT_GE(licences, 2);
}

// ------------------------------------------------------------------ reproducibility

TEST(Catalogue, GeneratorOutputIsReproducible) {
    const fs::path tool = kProgramDir / "tools" / "munchora-assetgen";
    ASSERT_TRUE(fs::exists(tool)) << "the asset generator was not built";
    const fs::path root = fs::temp_directory_path() / ("munchora-assets-" + std::to_string(::getpid()));
    fs::remove_all(root);
    for (const char* run : {"a", "b"}) {
        const std::string cmd = "\"" + tool.string() + "\" \"" + (kSourceDir / "assets").string() + "\" \"" +
                                (root / run).string() + "\"";
        ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
    size_t files = 0;
    for (const auto& e : fs::recursive_directory_iterator(root / "a")) {
        if (!e.is_regular_file()) continue;
        const fs::path other = root / "b" / fs::relative(e.path(), root / "a");
        EXPECT_EQ(ReadFile(e.path()), ReadFile(other)) << e.path() << " differs between two runs";
        ++files;
    }
    EXPECT_GT(files, 100u);
    fs::remove_all(root);
}

}  // namespace
