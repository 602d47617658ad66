// The editor's model: painting, filling, mirroring and header edits as undo
// steps, and level files written back exactly as they were read.
#include "editor/level_editor.h"

#include <gtest/gtest.h>

#include <cstring>

#include "formats/files.h"

namespace {

using namespace editor;
using namespace game;

const TBrush kWall{TBrush::TKind::Cell, CellWall, mkOrdinary};
const TBrush kFloor{TBrush::TKind::Cell, CellEmpty, mkOrdinary};

TEST(LevelDraft, EveryShippedLevelIsWrittenBackByteForByte) {
    const std::string folder = std::string(MUNCHORA_SOURCE_DIR) + "/assets/levels/";
    const auto names = formats::FindFiles(folder, "*.map");
    ASSERT_EQ(names.size(), 30u);
    for (const std::string& name : names) {
        const auto bytes = formats::ReadFileBytes(folder + name);
        const std::string text(bytes->begin(), bytes->end());
        const auto draft = ReadDraft(text);
        ASSERT_TRUE(draft) << name;
        EXPECT_EQ(LevelFileText(*draft), text) << name;
    }
    EXPECT_FALSE(ReadDraft("[General]\nMapWidth=30\n[Map]\n"));
}

TEST(LevelEditor, AStrokeIsOneStepAndUndoRedoWalkThem) {
    TLevelEditor editor(BlankDraft(9, 7));
    const TLevel blank = editor.Level();
    editor.BeginStroke();
    for (int32_t x = 1; x < 8; ++x) editor.Paint(x, 3, kWall);
    editor.Paint(1, 3, kWall);  // no change, no step
    editor.EndStroke();
    editor.Paint(4, 1, kFloor);
    EXPECT_EQ(editor.UndoSteps(), 2u);

    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(GetCell(editor.Level(), 4, 1), CellDot);
    EXPECT_EQ(GetCell(editor.Level(), 5, 3), CellWall);
    ASSERT_TRUE(editor.Undo());
    EXPECT_EQ(std::memcmp(editor.Level().Map, blank.Map, sizeof blank.Map), 0);
    EXPECT_FALSE(editor.Undo());
    ASSERT_TRUE(editor.Redo());
    EXPECT_EQ(GetCell(editor.Level(), 5, 3), CellWall);
    editor.Paint(2, 2, kWall);  // a new step forgets what could be redone
    EXPECT_FALSE(editor.Redo());
}

TEST(LevelEditor, KeepsMoreThanAThousandSteps) {
    TLevelEditor editor(BlankDraft(25, 20));
    // Inside the border, 23 x 18 cells: each pass over them paints the other code.
    for (int32_t i = 0; i < 1200; ++i)
        editor.Paint(1 + i % 23, 1 + (i / 23) % 18, (i / 414) % 2 ? kFloor : kWall);
    int32_t undone = 0;
    while (editor.Undo()) ++undone;
    EXPECT_EQ(undone, 1200);
    EXPECT_EQ(LevelFileText(editor.Draft()), LevelFileText(BlankDraft(25, 20)));
}

TEST(LevelEditor, FillMirrorAndStartCells) {
    TLevelEditor editor(BlankDraft(9, 7));
    editor.Fill(7, 5, 1, 4, kWall);  // corners in any order, one step
    EXPECT_EQ(editor.UndoSteps(), 1u);
    EXPECT_EQ(GetCell(editor.Level(), 1, 4), CellWall);
    EXPECT_EQ(GetCell(editor.Level(), 7, 5), CellWall);
    EXPECT_EQ(GetCell(editor.Level(), 4, 3), CellDot);

    editor.Paint(1, 1, {TBrush::TKind::Cell, CellRedBall, mkOrdinary});
    editor.Paint(2, 2, {TBrush::TKind::Cell, CellGateVert, mkOrdinary});
    editor.MirrorLeftRight();
    EXPECT_EQ(GetCell(editor.Level(), 7, 1), CellRedBall);
    EXPECT_EQ(GetCell(editor.Level(), 6, 2), CellGateVert);

    editor.Paint(3, 2, {TBrush::TKind::Monster, CellEmpty, mkGhost});
    EXPECT_EQ(editor.Level().MonsterPoint[mkGhost].X, 3);
    EXPECT_EQ(editor.Level().MonsterCount[mkGhost], 1);  // a start cell has somebody on it
    editor.Paint(5, 3, {TBrush::TKind::Key, CellEmpty, mkOrdinary});
    EXPECT_TRUE(editor.Level().KeyExist);
    // The checker sees the level as it stands: a hero on a wall is an error.
    editor.Paint(editor.Level().PlayerPoint.X, editor.Level().PlayerPoint.Y, kWall);
    EXPECT_TRUE(editor.Check().HasErrors());
}

TEST(LevelEditor, HeaderEditsAreClampedSteps) {
    TLevelEditor editor(BlankDraft(9, 7));
    editor.SetMonsterCount(mkBoss, 99);
    editor.SetBonusLevel(-3);
    editor.SetName(std::string(100, 'n'));
    EXPECT_EQ(editor.Level().MonsterCount[mkBoss], 20);
    EXPECT_EQ(editor.Level().BonusLevel, 0);
    EXPECT_EQ(editor.Level().Name.size(), 40u);
    EXPECT_EQ(editor.UndoSteps(), 3u);

    editor.Resize(40, 4);
    EXPECT_EQ(editor.Level().MapWidth, MaxMapWidth);
    EXPECT_EQ(editor.Level().MapHeight, 4);
    EXPECT_LT(editor.Level().PlayerPoint.Y, 4);
    EXPECT_EQ(GetCell(editor.Level(), 12, 3), CellWall);    // a new cell
    EXPECT_EQ(GetCell(editor.Level(), 3, 4), CellEmpty);    // the ring below
    ASSERT_TRUE(ReadDraft(LevelFileText(editor.Draft())));  // still a level the game reads
}

}  // namespace
