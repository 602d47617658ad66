#include "game/level_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "game/globals.h"
#include "game/temp_dir.h"
#include "support/level_fixture.h"

using namespace game;
namespace fs = std::filesystem;

namespace {

std::string Errors(const LevelReport& report) {
    std::string text;
    for (const LevelFinding& f : report.Findings) {
        if (f.Error) text += FormatFinding("level", f) + "\n";
    }
    return text;
}

bool Has(const LevelReport& report, bool error, const std::string& cell, const std::string& text) {
    return std::any_of(report.Findings.begin(), report.Findings.end(), [&](const LevelFinding& f) {
        const std::string line = FormatFinding("level", f);
        return f.Error == error && line.find("level" + cell + ":") == 0 &&
               line.find(text) != std::string::npos;
    });
}

// Each broken level under tests/levels and the error it must give.
struct Broken {
    const char* file;
    const char* cell;  // " (x, y)" or "" for the whole file
    const char* text;
};

constexpr Broken kBroken[] = {
    {"too_big", "", "refuses the file: the maze size 30 x 17 is outside"},
    {"missing_rows", "", "only 3 map rows for MapHeight = 5"},
    {"no_map_line", "", "no [Map] line"},
    {"no_dots", "", "the maze has no dots"},
    {"player_on_wall", " (2, 2)", "the player starts on a wall"},
    {"monster_outside", " (9, 3)", "the ordinary monster starts outside the maze"},
    {"unreachable_dot", " (3, 3)", "the dot cannot be reached"},
    {"tunnel_into_wall", " (0, 1)", "leads into the wall at (6, 1)"},
    {"gate_nowhere", " (3, 2)", "the gate leads nowhere"},
    {"key_behind_gate", " (5, 3)", "the key lies behind its own gates"},
    {"key_never_appears", " (2, 1)",
     "the key never appears: it comes at 49% of the dots eaten, but only 2 of 12"},
};

TEST(LevelCheck, EachBrokenTestLevelGivesItsError) {
    for (const Broken& b : kBroken) {
        const std::string path = std::string(MUNCHORA_SOURCE_DIR) + "/tests/levels/" + b.file + ".map";
        const LevelReport report = CheckLevelFile(path);
        EXPECT_TRUE(report.HasErrors()) << b.file;
        EXPECT_TRUE(Has(report, true, b.cell, b.text)) << b.file << " gave:\n" << Errors(report);
    }
    EXPECT_TRUE(Has(CheckLevelFile(std::string(MUNCHORA_SOURCE_DIR) + "/tests/levels/none.map"), true, "",
                    "cannot open the file"));
}

class LevelCheckFile : public TempDirTest {
protected:
    std::string Level(const std::string& general, const std::vector<std::string>& rows) {
        std::string text = "[General]\nMapWidth=" + std::to_string(rows[0].size()) +
                           "\nMapHeight=" + std::to_string(rows.size()) + "\n" + general + "\n[Map]\n";
        for (const std::string& row : rows) text += row + "\n";
        return Write("level.map", text);
    }
};

// A ring of corridors around a block of walls, doubled at the top: 69 dots at 17 x 17.
std::vector<std::string> Ring(int w, int h) {
    std::vector<std::string> rows(size_t(h), "B" + std::string(size_t(w - 2), 'A') + "B");
    rows.front() = rows.back() = std::string(size_t(w), 'B');
    for (int y = 3; y < h - 2; ++y) rows[size_t(y)] = "BAB" + std::string(size_t(w - 6), 'B') + "BAB";
    return rows;
}

constexpr const char* kQuiet = "PlayerPointX=1\nPlayerPointY=1\nEnemyCount=0\nBossCount=0\nGhostCount=0";

TEST_F(LevelCheckFile, TunnelsGatesAndTheKeyCountAsThePlayerWalks) {
    // The right half is reached only through the open left and right edges;
    // the bottom room only through a gate, once the key is taken.
    const std::vector<std::string> rows = {
        "BBBBBBBBBBBBBBBBBBBBB", "BAAAAAAAAABAAAAAAAAAB", "AAAAAAAAAABAAAAAAAAAA", "BAAAAAAAAABAAAAAAAAAB",
        "BBBBBIBBBBBBBBBBBBBBB", "BAAAAAAAAAAAAAAAAAAAB", "BBBBBBBBBBBBBBBBBBBBB"};
    LevelReport report =
        CheckLevelFile(Level(std::string(kQuiet) + "\nKeyExist=1\nKeyPointX=15\nKeyPointY=2", rows));
    EXPECT_FALSE(report.HasErrors()) << Errors(report);
    EXPECT_EQ(report.Dots, 9 * 3 * 2 + 2 + 19);
    EXPECT_EQ(report.DotsBeforeKey, 9 * 3 * 2 + 2);

    // Without the key the room stays shut.
    report = CheckLevelFile(Level(std::string(kQuiet) + "\nKeyExist=0", rows));
    EXPECT_TRUE(Has(report, true, " (1, 5)", "the dot cannot be reached"));
    EXPECT_TRUE(Has(report, false, " (5, 4)", "the gate never opens: the level has no key"));

    // A walled-off edge cuts the tunnel: the right half is lost.
    std::vector<std::string> cut = rows;
    cut[2][0] = cut[2][20] = 'B';
    report = CheckLevelFile(Level(std::string(kQuiet) + "\nKeyExist=1\nKeyPointX=3\nKeyPointY=2", cut));
    EXPECT_TRUE(Has(report, true, " (11, 1)", "the dot cannot be reached"));
    EXPECT_FALSE(Has(report, true, " (1, 5)", "the dot cannot be reached"));
}

TEST_F(LevelCheckFile, AWellFormedLevelPassesWithWarningsOnlyForLooks) {
    LevelReport report = CheckLevelFile(Level(kQuiet, Ring(17, 17)));
    EXPECT_TRUE(report.Findings.empty()) << Errors(report);
    EXPECT_EQ(report.Dots, 69);

    // Larger than the visible field, too few dots, a monster beside the
    // player and a short row: warnings, no error.
    std::vector<std::string> rows = Ring(19, 18);
    rows[1].pop_back();
    report =
        CheckLevelFile(Level("PlayerPointX=1\nPlayerPointY=1\nEnemyPointX=2\nEnemyPointY=1\nEnemyCount=2\n"
                             "BossCount=0\nGhostCount=0\nKeyExist=1\nKeyPointX=1\nKeyPointY=3",
                             rows));
    EXPECT_FALSE(report.HasErrors()) << Errors(report);
    EXPECT_TRUE(Has(report, false, "", "19 columns wide: columns from 17 on run under the status panel"));
    EXPECT_TRUE(Has(report, false, "", "18 rows high: rows from 17 on run under the message line"));
    EXPECT_TRUE(Has(report, false, " (2, 1)", "the ordinary monster starts next to the player's start"));
    EXPECT_TRUE(Has(report, false, " (18, 1)", "the map row is shorter than MapWidth"));
    EXPECT_TRUE(Has(report, false, " (1, 3)", "the key opens no gate"));

    rows = {"BBBBBBB", "BAAAAAB", "BBBBBBB"};
    report = CheckLevelFile(Level(kQuiet, rows));
    EXPECT_TRUE(Has(report, false, "", "only 5 dots"));

    // A tunnel whose last cell but one is a wall strands the ordinary
    // monsters that leave to the left, not the player.
    rows = {"BBBBBBB", "AAAAABA", "BABBBAB", "BAAAAAB", "BBBBBBB"};
    report =
        CheckLevelFile(Level("PlayerPointX=1\nPlayerPointY=3\nEnemyPointX=5\nEnemyPointY=3\nEnemyCount=1\n"
                             "BossCount=0\nGhostCount=0",
                             rows));
    EXPECT_FALSE(report.HasErrors()) << Errors(report);
    EXPECT_TRUE(Has(report, false, " (0, 1)",
                    "an ordinary monster leaving here comes back inside the wall at (5, 1)"));
    report = CheckLevelFile(Level(kQuiet, rows));
    EXPECT_FALSE(Has(report, false, " (0, 1)", "an ordinary monster"));
}

TEST_F(LevelCheckFile, MonsterStartsOnWallsAndGatesAndOutOfReach) {
    const std::vector<std::string> rows = {"BBBBBBBBB", "BAAAAAAAB", "BABBBBBAB", "BAAIABAAB", "BBBBBBBBB"};
    LevelReport report = CheckLevelFile(
        Level("PlayerPointX=1\nPlayerPointY=1\nEnemyPointX=3\nEnemyPointY=3\nBossPointX=2\nBossPointY=2\n"
              "GhostPointX=4\nGhostPointY=2\nKeyExist=0",
              rows));
    EXPECT_TRUE(Has(report, true, " (3, 3)", "the ordinary monster starts on a gate"));
    EXPECT_TRUE(Has(report, true, " (2, 2)", "the boss starts on a wall"));
    EXPECT_TRUE(Has(report, true, " (4, 2)", "the ghost starts on a wall"));

    // A boss shut in behind a gate that never opens.
    report = CheckLevelFile(Level(
        "PlayerPointX=1\nPlayerPointY=1\nEnemyCount=0\nBossPointX=4\nBossPointY=3\nGhostCount=0\nKeyExist=0",
        rows));
    EXPECT_TRUE(Has(report, false, " (4, 3)", "the boss starts where the player can never come"));
    EXPECT_TRUE(Has(report, true, " (4, 3)", "the dot cannot be reached"));
}

// Every shipped level: no errors, and the dot total the game counts when the
// level starts is the checker's.
class ShippedLevels : public testing_support::LevelFixture {};

TEST_F(ShippedLevels, PassTheCheckAndTheGameCountsTheSameDots) {
    const fs::path shipped = fs::path(MUNCHORA_PROGRAM_DIR) / "Levels";
    int levels = 0;
    for (int n = 1;
         fs::exists(shipped / ("Level" + std::string(n < 10 ? "0" : "") + std::to_string(n) + ".map")); ++n) {
        const std::string name = "Level" + std::string(n < 10 ? "0" : "") + std::to_string(n);
        const LevelReport report = CheckLevelFile((shipped / (name + ".map")).string());
        // Not even a warning: the shipped levels fit the screen and keep
        // the monsters away from the player's start.
        std::string findings;
        for (const LevelFinding& f : report.Findings) findings += FormatFinding(name, f) + "\n";
        EXPECT_TRUE(report.Findings.empty()) << findings;
        EXPECT_GE(report.Dots, FewDots) << name;

        std::ifstream in(shipped / (name + ".map"), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        WriteFile("Levels/" + name + ".map", text.str());
        TLevel level;
        ASSERT_EQ(LoadLevel((shipped / (name + ".map")).string(), level), LevelLoadResult::Ok);
        WriteFile("Levels/" + name + ".bmp",
                  testing_support::Bitmap(level.MapWidth * 32 + 1, level.MapHeight * 32 + 1));
        game::State.CurrentLevel = n - 1;
        EnterGame();
        EXPECT_EQ(Probe().Game()->DotTotal, report.Dots) << name;
        EXPECT_EQ(game::State.GameLevel.Name, level.Name);
        ++levels;
    }
    EXPECT_GE(levels, 3);
}

// A level plays Music/NN.mid when it exists, else a tune drawn from the
// whole directory: most shipped levels have their own.
TEST(ShippedTunes, MostLevelsHaveTheirOwnTune) {
    const fs::path dir(MUNCHORA_PROGRAM_DIR);
    int levels = 0, own = 0;
    for (int n = 1;; ++n) {
        const std::string nn = std::string(n < 10 ? "0" : "") + std::to_string(n);
        if (!fs::exists(dir / "Levels" / ("Level" + nn + ".map"))) break;
        ++levels;
        own += fs::exists(dir / "Music" / (nn + ".mid"));
    }
    EXPECT_GE(levels, 25);  // every password leads to a level
    EXPECT_GT(own * 2, levels);
}

}  // namespace
