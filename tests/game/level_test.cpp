#include "game/level.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/globals.h"
#include "game/random.h"
#include "game/temp_dir.h"

using namespace game;

namespace {

class LevelFile : public TempDirTest {
protected:
    // `count` map rows of the same text.
    static std::string Rows(int count, const std::string& row) {
        std::string text;
        for (int i = 0; i < count; ++i) text += row + "\n";
        return text;
    }
};

TEST_F(LevelFile, WithoutGeneralSectionTakesTheDefaults) {
    TLevel level;
    level.KeyExist = 7;
    ASSERT_EQ(LoadLevel(Write("l.map", "[Map]\n" + Rows(17, "BAAAAAAAAAAAAAAAB")), level),
              LevelLoadResult::Ok);
    EXPECT_EQ(level.Name, "Noname");
    EXPECT_EQ(level.KeyExist, 0);
    // Size, player, key, the three monster kinds' start cells and counts, bonus kinds.
    const std::vector<int32_t> read = {
        level.MapWidth,          level.MapHeight,         level.PlayerPoint.X,     level.PlayerPoint.Y,
        level.KeyPoint.X,        level.KeyPoint.Y,        level.MonsterPoint[0].X, level.MonsterPoint[0].Y,
        level.MonsterPoint[1].X, level.MonsterPoint[1].Y, level.MonsterPoint[2].X, level.MonsterPoint[2].Y,
        level.MonsterCount[0],   level.MonsterCount[1],   level.MonsterCount[2],   level.BonusLevel};
    EXPECT_EQ(read, (std::vector<int32_t>{17, 17, 1, 1, 1, 1, 15, 15, 15, 15, 15, 15, 4, 1, 1, 10}));
    EXPECT_EQ(level.Map[1][1], CellWall);
    EXPECT_EQ(level.Map[1][2], CellDot);
    EXPECT_EQ(level.Map[17][17], CellWall);
    EXPECT_EQ(level.Map[0][0], CellEmpty);
    EXPECT_EQ(level.Map[18][18], CellEmpty);
}

TEST_F(LevelFile, KeysCharactersAndKeyExistLowByte) {
    const std::string map = "[Map]\n" + std::string("aA @\n") + "IJDB\n";
    TLevel level;
    ASSERT_EQ(LoadLevel(Write("a.map",
                              "[general]\nname=Caves\nMapWidth=4\nMapHeight=2\nKeyExist=256\nKeyPointX=$A\n"
                              "EnemyCount=7\nGhostPointY=3\nBonusLevel=x2\n" +
                                  map),
                        level),
              LevelLoadResult::Ok);
    EXPECT_EQ(level.Name, "Caves");
    EXPECT_EQ(level.KeyExist, 0);  // 256 has no bits in its low byte
    EXPECT_EQ(level.KeyPoint.X, 10);
    EXPECT_EQ(level.MonsterCount[0], 7);
    EXPECT_EQ(level.MonsterPoint[2].Y, 3);
    EXPECT_EQ(level.BonusLevel, 10);      // not an integer: the default
    EXPECT_EQ(GetCell(level, 0, 0), 32);  // 'a'
    EXPECT_EQ(GetCell(level, 1, 0), CellDot);
    EXPECT_EQ(GetCell(level, 2, 0), -33);  // space
    EXPECT_EQ(GetCell(level, 3, 0), -1);   // '@'
    EXPECT_EQ(GetCell(level, 0, 1), CellGateHoriz);
    EXPECT_EQ(GetCell(level, 1, 1), CellGateVert);
    EXPECT_EQ(GetCell(level, 2, 1), CellRedBall);

    ASSERT_EQ(LoadLevel(Write("b.map", "[General]\nKeyExist=1\nMapWidth=1\nMapHeight=1\n[Map]\nA\n"), level),
              LevelLoadResult::Ok);
    EXPECT_EQ(level.KeyExist, 1);
    EXPECT_EQ(level.Name, "Noname");
}

TEST_F(LevelFile, LongRowsGeneralAfterTheRowsAndCrLf) {
    TLevel level;
    const std::string text =
        "; comment\r\n[Map] the map\r\nABCDEFG\r\nBA\r\n\r\nAAAAAA\r\n"
        "[General]\r\nMapWidth=3\r\nMapHeight=2\r\n";
    ASSERT_EQ(LoadLevel(Write("c.map", text), level), LevelLoadResult::Ok);
    EXPECT_EQ(level.MapWidth, 3);
    const int32_t expected[2][3] = {{CellDot, CellWall, CellEmpty}, {CellWall, CellDot, CellWall}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) EXPECT_EQ(GetCell(level, x, y), expected[y][x]) << x << "," << y;
    }
    // Nothing past the rows reached the grid; the short second row ended at its CR.
    EXPECT_EQ(level.Map[1][4], CellEmpty);
    EXPECT_EQ(level.Map[3][1], CellEmpty);
}

TEST_F(LevelFile, ShortRowsAreClosedWithWalls) {
    TLevel level;
    // The last row has no line ending: it still counts.
    ASSERT_EQ(LoadLevel(Write("s.map", "[General]\nMapWidth=3\nMapHeight=3\n[Map]\nAC\n\nCA"), level),
              LevelLoadResult::Ok);
    EXPECT_EQ(GetCell(level, 0, 0), CellDot);
    EXPECT_EQ(GetCell(level, 1, 0), CellEmpty);
    EXPECT_EQ(GetCell(level, 2, 0), CellWall);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(GetCell(level, x, 1), CellWall);  // empty line
    EXPECT_EQ(GetCell(level, 1, 2), CellDot);
    EXPECT_EQ(GetCell(level, 2, 2), CellWall);
}

TEST_F(LevelFile, SmallerLevelAfterALargerOne) {
    TLevel level;
    ASSERT_EQ(LoadLevel(Write("big.map", "[Map]\n" + Rows(17, std::string(17, 'A'))), level),
              LevelLoadResult::Ok);
    ASSERT_EQ(LoadLevel(Write("small.map", "[General]\nMapWidth=10\nMapHeight=8\n[Map]\n" +
                                               Rows(8, "A" + std::string(9, 'B') + "AAAAAAA")),
                        level),
              LevelLoadResult::Ok);
    for (int row = 0; row < MapRows; ++row) {
        for (int column = 0; column < MapColumns; ++column) {
            const bool inside = row >= 1 && row <= 8 && column >= 1 && column <= 10;
            const int32_t expected = !inside ? CellEmpty : column == 1 ? CellDot : CellWall;
            EXPECT_EQ(level.Map[row][column], expected) << row << "," << column;
        }
    }
    EXPECT_EQ(GetCell(level, -1, 0), CellEmpty);
    EXPECT_EQ(GetCell(level, 10, 0), CellEmpty);  // the ring to the right
    EXPECT_EQ(GetCell(level, 0, 8), CellEmpty);   // and below
    EXPECT_EQ(GetCell(level, -1, -1), CellEmpty);
    EXPECT_EQ(GetCell(level, 11, 0), CellWall);
    EXPECT_EQ(GetCell(level, 0, 9), CellWall);
    EXPECT_EQ(GetCell(level, -2, 0), CellWall);
    EXPECT_EQ(GetCell(level, 0, -2), CellWall);
    EXPECT_EQ(GetCell(level, 12, 0), CellWall);  // a cell the old level had as a dot
}

TEST_F(LevelFile, MissingFileKeepsTheMapAndTakesDefaultKeys) {
    TLevel level;
    level.MapWidth = 25;
    level.MapHeight = 20;
    level.Map[5][5] = CellWall;
    level.Name = "Old";
    EXPECT_EQ(LoadLevel((dir_ / "absent.map").string(), level), LevelLoadResult::CantOpen);
    EXPECT_EQ(level.Map[5][5], CellWall);
    EXPECT_EQ(level.Map[0][0], 0);
    EXPECT_EQ(level.MapWidth, 17);
    EXPECT_EQ(level.Name, "Noname");
}

TEST_F(LevelFile, BadFilesAreRefusedAndChangeNothing) {
    const std::string rows = "[Map]\n" + Rows(20, std::string(25, 'A'));
    const struct {
        const char* why;
        std::string text;
    } cases[] = {
        {"lower-case map line", "[map]\n" + Rows(17, std::string(17, 'A'))},
        {"no map line", Rows(17, std::string(17, 'A'))},
        {"rows missing", "[Map]\n" + Rows(16, std::string(17, 'A'))},
        {"width 0", "[General]\nMapWidth=0\n" + rows},
        {"width 26", "[General]\nMapWidth=26\n" + rows},
        {"height 21", "[General]\nMapHeight=21\n" + rows + "AAAA\n"},
        {"negative height", "[General]\nMapHeight=-1\n" + rows},
        {"no dot", "[Map]\n" + Rows(17, std::string(17, 'C'))},
        {"dot only beyond the width", "[General]\nMapWidth=2\nMapHeight=1\n[Map]\nCCA\n"},
        {"empty file", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TLevel level;
        level.Name = "Before";
        level.MapWidth = 25;
        level.MapHeight = 20;
        level.Map[3][3] = 77;
        EXPECT_EQ(LoadLevel(Write("bad.map", c.text), level), LevelLoadResult::BadFile);
        EXPECT_EQ(level.Name, "Before");
        EXPECT_EQ(level.MapWidth, 25);
        EXPECT_EQ(level.MapHeight, 20);
        EXPECT_EQ(level.Map[3][3], 77);
        EXPECT_EQ(level.Map[0][0], 0);
    }
}

TEST(MazeMap, GetCellNeverLeavesTheGrid) {
    TMazeMap map;
    map.MapWidth = 25;
    map.MapHeight = 20;
    map.Map[21][26] = 5;
    EXPECT_EQ(GetCell(map, 25, 20), 5);  // the far corner of the ring
    EXPECT_EQ(GetCell(map, 26, 0), CellWall);
    // A size too large for the grid still reads walls past its edge.
    map.MapWidth = 40;
    map.MapHeight = 40;
    EXPECT_EQ(GetCell(map, 30, 0), CellWall);
    EXPECT_EQ(GetCell(map, 0, 25), CellWall);
}

class MazeMapRandom : public ::testing::Test {
protected:
    void SetUp() override {
        savedSeed_ = game::State.RandSeed;
        SetRandomClock([] { return int64_t(45296789); });  // 12:34:56.789
    }
    void TearDown() override {
        SetRandomClock(nullptr);
        game::State.RandSeed = savedSeed_;
    }

    // A width x height maze of `fill` cells.
    static TMazeMap Filled(int32_t width, int32_t height, int32_t fill) {
        TMazeMap map;
        map.MapWidth = width;
        map.MapHeight = height;
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) map.Map[y + 1][x + 1] = fill;
        }
        return map;
    }

    uint32_t savedSeed_ = 0;
};

TEST_F(MazeMapRandom, NoSuchCodeLeavesTheOutputsAndTheSeed) {
    const TMazeMap map = Filled(5, 7, CellWall);  // the ring is CellEmpty but not part of the maze
    game::State.RandSeed = 99;
    int32_t x = -7, y = -8;
    EXPECT_FALSE(FindCellWithCode(map, CellEmpty, x, y));
    EXPECT_EQ(x, -7);
    EXPECT_EQ(y, -8);
    EXPECT_EQ(game::State.RandSeed, 99u);
}

TEST_F(MazeMapRandom, ReseedsFromTheClockAndDrawsRowThenColumn) {
    game::State.RandSeed = 99;
    int32_t x = -1, y = -1;
    ASSERT_TRUE(FindCellWithCode(Filled(5, 7, CellEmpty), CellEmpty, x, y));
    // From seed 45296789: the row draw random(7) gives 3, the column draw random(5) gives 1.
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 3);
    EXPECT_EQ(game::State.RandSeed, 1162356371u);

    // One matching cell: the draws go on (seven pairs here) until they hit it.
    TMazeMap map = Filled(3, 4, CellWall);
    map.Map[3 + 1][2 + 1] = CellEmpty;
    ASSERT_TRUE(FindCellWithCode(map, CellEmpty, x, y));
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 3);
    EXPECT_EQ(game::State.RandSeed, 4247985431u);
}

}  // namespace
