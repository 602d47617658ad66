// The level editor's screen: the maze on the left, painted with the mouse
// or the keyboard; the palette and the level's header values on the right;
// the level checker's findings below the maze, live. Test-play plays the
// level as it stands and comes back; a clear is kept as the level's proof.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "editor/maze_picture.h"
#include "editor/set_files.h"
#include "formats/files.h"
#include "game/globals.h"
#include "shell/difficulty.h"
#include "shell/editor_session.h"
#include "shell/screen.h"
#include "widgets/message_line.h"
#include "widgets/style.h"

namespace shell {

using editor::TBrush;
using game::TPoint;
namespace vk = platform::vk;

namespace {

// The maze: 22 pixels a cell, so the largest (25 x 20) fits beside the panel.
constexpr int kMazeX = 12, kMazeY = 36, kCell = 22;
constexpr int kPanelX = 580, kPaletteY = 36, kPaletteRow = kCell;
constexpr int kHeaderY = 290, kHeaderRow = 21, kHeaderValueGap = 110;
constexpr int kFindingsY = 478, kFindingsRow = 17, kFindingLines = 3;
constexpr int kEstimateY = 528, kStatusY = 545, kKeyStripY = 563, kKeyStripRow = 17, kKeyStripPoints = 12;
constexpr int kTextPoints = 13;
constexpr const char* kSetName = "MyLevels";
// Values go down when the header line is clicked left of this, up right of it.
constexpr int kHeaderValueX = 700;

constexpr media::Colour Bgr(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t(b) << 16 | uint32_t(g) << 8 | r;
}
constexpr media::Colour kInk = Bgr(230, 230, 230), kQuiet = Bgr(150, 160, 170),
                        kHighlight = Bgr(255, 220, 60);
constexpr media::Colour kError = Bgr(255, 110, 90), kWarning = Bgr(255, 200, 90);

void FillRect(media::Surface& surface, int x, int y, int width, int height, media::Colour colour) {
    const uint16_t pixel = media::ColourToRgb565(colour);
    for (int row = std::max(0, y); row < std::min(surface.Height(), y + height); ++row) {
        uint16_t* line = surface.Row(row);
        for (int column = std::max(0, x); column < std::min(surface.Width(), x + width); ++column)
            line[column] = pixel;
    }
}

void Outline(media::Surface& surface, int x, int y, int width, int height, media::Colour colour) {
    FillRect(surface, x, y, width, 2, colour);
    FillRect(surface, x, y + height - 2, width, 2, colour);
    FillRect(surface, x, y, 2, height, colour);
    FillRect(surface, x + width - 2, y, 2, height, colour);
}

// A cell's look: its colour, and a smaller mark of another colour inside.
struct CellLook {
    media::Colour ground, mark;
    int markSize;
};

CellLook LookOf(int32_t code) {
    switch (code) {
        case game::CellWall: return {Bgr(40, 70, 190), Bgr(70, 110, 230), 16};
        case game::CellDot: return {Bgr(12, 12, 28), Bgr(255, 210, 120), 4};
        case game::CellRedBall: return {Bgr(12, 12, 28), Bgr(230, 40, 40), 12};
        case game::CellGateHoriz: return {Bgr(12, 12, 28), Bgr(255, 150, 40), 0};
        case game::CellGateVert: return {Bgr(12, 12, 28), Bgr(255, 150, 40), 0};
        case game::CellEmpty: return {Bgr(12, 12, 28), Bgr(12, 12, 28), 0};
        default: return {Bgr(120, 0, 120), Bgr(255, 0, 255), 8};
    }
}

void DrawCell(media::Surface& surface, int x, int y, int32_t code) {
    const CellLook look = LookOf(code);
    FillRect(surface, x, y, kCell, kCell, look.ground);
    const int middle = kCell / 2;
    if (code == game::CellGateHoriz) FillRect(surface, x + 2, y + middle - 3, kCell - 4, 6, look.mark);
    if (code == game::CellGateVert) FillRect(surface, x + middle - 3, y + 2, 6, kCell - 4, look.mark);
    if (look.markSize > 0)
        FillRect(surface, x + middle - look.markSize / 2, y + middle - look.markSize / 2, look.markSize,
                 look.markSize, look.mark);
}

// The letter and colour a start cell is marked with.
struct StartMark {
    const char* letter;
    media::Colour colour;
};

StartMark MarkOf(const TBrush& brush) {
    switch (brush.Kind) {
        case TBrush::TKind::Hero: return {"H", Bgr(255, 230, 0)};
        case TBrush::TKind::Key: return {"K", Bgr(255, 190, 40)};
        case TBrush::TKind::Monster:
            return brush.Monster == game::mkBoss    ? StartMark{"B", Bgr(190, 90, 255)}
                   : brush.Monster == game::mkGhost ? StartMark{"G", Bgr(200, 240, 255)}
                                                    : StartMark{"M", Bgr(255, 100, 180)};
        case TBrush::TKind::Cell: break;
    }
    return {"", kInk};
}

const char* FieldName(THeaderField field) {
    switch (field) {
        case THeaderField::Name: return "Name";
        case THeaderField::Width: return "Width";
        case THeaderField::Height: return "Height";
        case THeaderField::Monsters: return "Monsters";
        case THeaderField::Bosses: return "Bosses";
        case THeaderField::Ghosts: return "Ghosts";
        case THeaderField::Bonus: return "Bonus level";
        case THeaderField::Theme: return "Theme";
        case THeaderField::Count: break;
    }
    return "";
}

constexpr int kFieldCount = int(THeaderField::Count);

}  // namespace

// ---- the session ----------------------------------------------------------------

void TMainForm::OpenEditorLevel(int32_t number) {
    TEditorSession& s = *editorSession_;
    s.LevelNumber = std::max(1, number);
    s.Editor = std::make_unique<editor::TLevelEditor>(editor::OpenLevel(s.SetFolder, s.LevelNumber));
    s.Cursor = {1, 1};
    s.FillMark.reset();
    s.Status = "Level " + std::to_string(s.LevelNumber) + " of " + kSetName;
}

void TMainForm::SaveEditorLevel() {
    TEditorSession& s = *editorSession_;
    const game::LevelReport& report = s.Editor->Check();
    if (report.HasErrors()) {
        s.Status = editor::SaveDraft(s.SetFolder, s.LevelNumber, s.Editor->Draft())
                       ? "Saved as a draft: the level has errors to mend first"
                       : "Error of writing " + editor::DraftFilePath(s.SetFolder, s.LevelNumber);
        return;
    }
    s.Status = editor::SaveFinished(s.SetFolder, s.LevelNumber, s.Editor->Draft())
                   ? "Saved: level " + std::to_string(s.LevelNumber) + " is ready to play"
                   : "Error of writing " + editor::LevelFilePath(s.SetFolder, s.LevelNumber);
}

void TMainForm::ExportEditorSet() {
    TEditorSession& s = *editorSession_;
    SaveEditorLevel();
    const std::string pack = SettingsDirectory() + "exports/" + kSetName + ".mnl";
    if (!editor::ExportSet(s.SetFolder, pack)) {
        s.Status = "Error of writing " + pack;
        return;
    }
    s.Status = "Exported to " + pack;
    // The browser's page offers the file as a download.
    media_.NoteEvent("level-set-exported " + pack);
}

void TMainForm::UseDifficultyEstimator(std::unique_ptr<TDifficultyEstimator> estimator) {
    estimator_ = std::move(estimator);
}

void TMainForm::EstimateDifficulty() {
    TEditorSession& s = *editorSession_;
    if (s.Estimating) return;
    if (s.Editor->Check().HasErrors()) {
        s.Estimate = "The level has errors: mend them to estimate it";
        return;
    }
    const std::string file = EditorTestFolder() + "Estimate.map";
    const std::string text = editor::LevelFileText(s.Editor->Draft());
    const bool written = formats::MakeDirectories(EditorTestFolder()) &&
                         formats::WriteFileAtomically(file, std::vector<uint8_t>(text.begin(), text.end()));
    if (!written || !estimator_ || !estimator_->Start(file)) {
        s.Estimate = "No difficulty estimate here: it needs the playtest tool of a build";
        return;
    }
    s.Estimating = true;
    s.Estimate = "The playtest bot plays the level...";
}

std::string TMainForm::EditorTestFolder() const { return SettingsDirectory() + "editor-test/"; }

void TMainForm::StartTestPlay() {
    TEditorSession& s = *editorSession_;
    if (s.Editor->Check().HasErrors()) {
        s.Status = "The level has errors: mend them to play it";
        return;
    }
    // The level alone as a set of one, so that its recording proves it.
    const std::string folder = EditorTestFolder();
    formats::MakeDirectories(folder);
    formats::RemoveFile(folder + "Level01.bmp");
    if (!editor::SaveFinished(folder, 1, s.Editor->Draft())) {
        s.Status = "Error of writing " + folder;
        return;
    }
    s.TestPlaying = true;
    game::Setup.LevelSetDir = formats::AbsoluteFolder(folder);
    game::Setup.LevelSetName = "editor-test";
    formats::MakeDirectories(LevelSetDataDirectory());
    testPlayReplays_ = ReplayDirectory;
    ReplayDirectory = folder + kReplaysFolder;
    CountLevels();
    game::State.CurrentLevel = 0;
    SetScreenState(scGame);
}

void TMainForm::EndTestPlay(bool cleared) {
    TEditorSession& s = *editorSession_;
    s.TestPlaying = false;
    const std::string proof = lastRecording_;
    ReplayDirectory = testPlayReplays_;
    game::Setup.LevelSetDir = editorSetDir_;
    game::Setup.LevelSetName = editorSetName_;
    CountLevels();
    if (!cleared) {
        s.Status = "Test-play ended before the level was cleared";
        return;
    }
    const auto bytes = formats::ReadFileBytes(proof);
    const bool kept = bytes && formats::MakeDirectories(s.SetFolder) &&
                      formats::WriteFileAtomically(editor::ProofFilePath(s.SetFolder, s.LevelNumber), *bytes);
    s.Status = kept ? "Cleared: the recording is kept as the level's proof"
                    : "Cleared, but the proof could not be kept";
}

// ---- the screen -------------------------------------------------------------------

void TMainForm::TEditorScreen::Enter() {
    TMainForm& f = form_;
    if (!f.editorSession_) {
        f.editorSession_ = std::make_unique<TEditorSession>();
        f.editorSession_->SetFolder = LevelSetsDirectory() + kSetName + "/";
        f.OpenEditorLevel(1);
    }
    if (f.editorSession_->TestPlaying) f.EndTestPlay(f.testPlayCleared_);
    f.editorSetDir_ = game::Setup.LevelSetDir;
    f.editorSetName_ = game::Setup.LevelSetName;
}

void TMainForm::TEditorScreen::Escape() {
    TEditorSession& s = *form_.editorSession_;
    if (s.EditingName) {
        s.EditingName = false;
        return;
    }
    // Nothing is lost on the way out: the level is kept, as a draft if need be.
    form_.SaveEditorLevel();
    form_.SetScreenState(scMainMenu);
}

void TMainForm::TEditorScreen::Key(uint16_t key) {
    TEditorSession& s = *form_.editorSession_;
    editor::TLevelEditor& e = *s.Editor;
    const platform::ShiftState shift = form_.shiftInProgress_;
    const auto& palette = editor::Palette();
    if (s.EditingName) {
        std::string name = e.Level().Name;
        if (key == vk::Enter) s.EditingName = false;
        if (key == vk::Backspace && !name.empty()) name.pop_back();
        if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == vk::Space)
            name += char(key >= 'A' && key <= 'Z' && !(shift & platform::kShift) ? key - 'A' + 'a' : key);
        e.SetName(name);
        return;
    }
    const bool ctrl = shift & platform::kCtrl, shifted = shift & platform::kShift;
    TPoint& cursor = s.Cursor;
    if (ctrl && (key == vk::Left || key == vk::Right)) {
        form_.SaveEditorLevel();
        const int32_t last = editor::LevelsInSet(s.SetFolder) + 1;  // one new level after the last
        form_.OpenEditorLevel(std::clamp(s.LevelNumber + (key == vk::Left ? -1 : 1), 1, last));
        return;
    }
    if (shifted && (key == vk::Up || key == vk::Down)) {
        const int next = (int(s.Field) + (key == vk::Up ? kFieldCount - 1 : 1)) % kFieldCount;
        s.Field = THeaderField(next);
        return;
    }
    if (shifted && (key == vk::Left || key == vk::Right)) {
        form_.ChangeHeaderField(key == vk::Left ? -1 : 1);
        return;
    }
    switch (key) {
        case vk::Left: cursor.X = std::max(0, cursor.X - 1); break;
        case vk::Right: cursor.X = std::min(e.Level().MapWidth - 1, cursor.X + 1); break;
        case vk::Up: cursor.Y = std::max(0, cursor.Y - 1); break;
        case vk::Down: cursor.Y = std::min(e.Level().MapHeight - 1, cursor.Y + 1); break;
        case vk::Space: e.Paint(cursor.X, cursor.Y, palette[s.Brush].Brush); break;
        case vk::Tab: s.Brush = (s.Brush + (shifted ? palette.size() - 1 : 1)) % palette.size(); break;
        case vk::Enter:
            if (s.Field == THeaderField::Name) s.EditingName = true;
            break;
        case 'B':
            s.FillMark = cursor;
            s.Status = "Corner marked: F fills to the cursor";
            break;
        case 'F':
            if (s.FillMark) e.Fill(s.FillMark->X, s.FillMark->Y, cursor.X, cursor.Y, palette[s.Brush].Brush);
            s.FillMark.reset();
            break;
        case 'M': e.MirrorLeftRight(); break;
        case 'Z': e.Undo(); break;
        case 'Y': e.Redo(); break;
        case 'S': form_.SaveEditorLevel(); break;
        case 'T': form_.StartTestPlay(); break;
        case 'E': form_.ExportEditorSet(); break;
        case 'D': form_.EstimateDifficulty(); break;
        default:
            if (key >= '1' && key <= '9' && size_t(key - '1') < palette.size()) s.Brush = size_t(key - '1');
            if (key == '0' && palette.size() >= 10) s.Brush = 9;
            break;
    }
    s.Cursor.X = std::min(s.Cursor.X, e.Level().MapWidth - 1);
    s.Cursor.Y = std::min(s.Cursor.Y, e.Level().MapHeight - 1);
}

void TMainForm::ChangeHeaderField(int step) {
    editor::TLevelEditor& e = *editorSession_->Editor;
    const game::TLevel& level = e.Level();
    switch (editorSession_->Field) {
        case THeaderField::Name: break;
        case THeaderField::Width: e.Resize(level.MapWidth + step, level.MapHeight); break;
        case THeaderField::Height: e.Resize(level.MapWidth, level.MapHeight + step); break;
        case THeaderField::Monsters:
            e.SetMonsterCount(game::mkOrdinary, level.MonsterCount[game::mkOrdinary] + step);
            break;
        case THeaderField::Bosses:
            e.SetMonsterCount(game::mkBoss, level.MonsterCount[game::mkBoss] + step);
            break;
        case THeaderField::Ghosts:
            e.SetMonsterCount(game::mkGhost, level.MonsterCount[game::mkGhost] + step);
            break;
        case THeaderField::Bonus: e.SetBonusLevel(level.BonusLevel + step); break;
        case THeaderField::Theme: {
            const auto& themes = editor::ThemeNames();
            const auto at = std::find(themes.begin(), themes.end(), e.Draft().Theme);
            const int index = at == themes.end() ? 0 : int(at - themes.begin());
            e.SetTheme(themes[size_t((index + step + int(themes.size())) % int(themes.size()))]);
            break;
        }
        case THeaderField::Count: break;
    }
}

void TMainForm::TEditorScreen::Pointer(const platform::PointerEvent& event) {
    TEditorSession& s = *form_.editorSession_;
    editor::TLevelEditor& e = *s.Editor;
    const int cellX = (event.x - kMazeX) / kCell, cellY = (event.y - kMazeY) / kCell;
    const bool onMaze = event.x >= kMazeX && event.y >= kMazeY && e.Inside(cellX, cellY);
    if (event.action == platform::PointerAction::Release) {
        if (s.Painting) e.EndStroke();
        s.Painting = false;
        return;
    }
    if (event.action == platform::PointerAction::Move) {
        if (!s.Painting || !onMaze) return;
        // Every cell on the way, however far the pointer jumped.
        const int steps = std::max(std::abs(cellX - s.Cursor.X), std::abs(cellY - s.Cursor.Y));
        for (int i = 1; i <= steps; ++i) {
            e.Paint(s.Cursor.X + (cellX - s.Cursor.X) * i / steps,
                    s.Cursor.Y + (cellY - s.Cursor.Y) * i / steps, editor::Palette()[s.Brush].Brush);
        }
        s.Cursor = {cellX, cellY};
        return;
    }
    if (onMaze) {
        s.Cursor = {cellX, cellY};
        s.Painting = true;
        e.BeginStroke();
        e.Paint(cellX, cellY, editor::Palette()[s.Brush].Brush);
        return;
    }
    if (event.x < kPanelX) return;
    const int paletteRow = (event.y - kPaletteY) / kPaletteRow;
    if (event.y >= kPaletteY && paletteRow < int(editor::Palette().size())) {
        s.Brush = size_t(paletteRow);
        return;
    }
    const int headerRow = (event.y - kHeaderY) / kHeaderRow;
    if (event.y >= kHeaderY && headerRow < kFieldCount) {
        s.Field = THeaderField(headerRow);
        if (s.Field == THeaderField::Name) {
            s.EditingName = true;
        } else {
            form_.ChangeHeaderField(event.x < kHeaderValueX ? -1 : 1);
        }
    }
}

void TMainForm::TEditorScreen::Frame() {
    TEditorSession& s = *form_.editorSession_;
    if (s.Estimating && form_.estimator_) {
        if (const auto results = form_.estimator_->Poll()) {
            s.Estimating = false;
            s.Estimate = results->empty() ? "The estimate could not be made" : DescribeEstimate(*results);
        }
    }
    if (!form_.media_.Drawing()) return;
    const editor::TLevelEditor& e = *s.Editor;
    const game::TLevel& level = e.Level();
    platform::Platform& media = form_.media_;
    media::Surface& surface = media.Display();
    const auto text = [&media](int x, int y, const std::string& line, media::Colour colour,
                               int points = kTextPoints) {
        media.DrawText(x, y, line, widgets::kBauhausFace, points, colour);
    };

    text(kMazeX, 8, "Editor: " + std::string(kSetName) + ", level " + std::to_string(s.LevelNumber),
         kHighlight, 16);
    // The maze, its start cells and the cursor.
    for (int32_t y = 0; y < level.MapHeight; ++y) {
        for (int32_t x = 0; x < level.MapWidth; ++x)
            DrawCell(surface, kMazeX + x * kCell, kMazeY + y * kCell, game::GetCell(level, x, y));
    }
    const auto mark = [&](const TPoint& at, const TBrush& brush) {
        const StartMark m = MarkOf(brush);
        text(kMazeX + at.X * kCell + 6, kMazeY + at.Y * kCell + 2, m.letter, m.colour, 14);
    };
    mark(level.PlayerPoint, {TBrush::TKind::Hero, 0, game::mkOrdinary});
    for (int kind = 0; kind < game::MonsterKindCount; ++kind) {
        if (level.MonsterCount[kind] > 0)
            mark(level.MonsterPoint[kind], {TBrush::TKind::Monster, 0, game::TMonsterKind(kind)});
    }
    if (level.KeyExist) mark(level.KeyPoint, {TBrush::TKind::Key, 0, game::mkOrdinary});
    // Where the checker points, each cell outlined.
    const game::LevelReport& report = e.Check();
    for (const game::LevelFinding& finding : report.Findings) {
        if (finding.HasCell && e.Inside(finding.Cell.X, finding.Cell.Y))
            Outline(surface, kMazeX + finding.Cell.X * kCell, kMazeY + finding.Cell.Y * kCell, kCell, kCell,
                    finding.Error ? kError : kWarning);
    }
    Outline(surface, kMazeX + s.Cursor.X * kCell - 1, kMazeY + s.Cursor.Y * kCell - 1, kCell + 2, kCell + 2,
            kInk);
    if (s.FillMark)
        Outline(surface, kMazeX + s.FillMark->X * kCell, kMazeY + s.FillMark->Y * kCell, kCell, kCell,
                kHighlight);

    // The palette.
    const auto& palette = editor::Palette();
    for (size_t i = 0; i < palette.size(); ++i) {
        const int y = kPaletteY + int(i) * kPaletteRow;
        const TBrush& brush = palette[i].Brush;
        if (brush.Kind == TBrush::TKind::Cell) {
            DrawCell(surface, kPanelX, y, brush.Code);
        } else {
            const StartMark m = MarkOf(brush);
            text(kPanelX + 3, y, m.letter, m.colour, 14);
        }
        const std::string label = (i < 9    ? std::to_string(i + 1)
                                   : i == 9 ? "0"
                                            : " ") +
                                  "  " + palette[i].Name;
        text(kPanelX + 28, y + 3, label, i == s.Brush ? kHighlight : kQuiet);
        if (i == s.Brush) Outline(surface, kPanelX - 3, y, 206, kPaletteRow, kHighlight);
    }
    // The header values.
    const std::string values[kFieldCount] = {
        level.Name + (s.EditingName ? "_" : ""),
        std::to_string(level.MapWidth),
        std::to_string(level.MapHeight),
        std::to_string(level.MonsterCount[game::mkOrdinary]),
        std::to_string(level.MonsterCount[game::mkBoss]),
        std::to_string(level.MonsterCount[game::mkGhost]),
        std::to_string(level.BonusLevel),
        e.Draft().Theme,
    };
    for (int i = 0; i < kFieldCount; ++i) {
        const int y = kHeaderY + i * kHeaderRow;
        const bool chosen = int(s.Field) == i;
        text(kPanelX, y, FieldName(THeaderField(i)), chosen ? kHighlight : kQuiet);
        text(kPanelX + kHeaderValueGap, y, values[i], chosen ? kHighlight : kInk);
    }
    // The findings, or that there are none.
    if (report.Findings.empty()) {
        text(kMazeX, kFindingsY, "The level checker finds nothing: the level can be saved as finished",
             kQuiet);
    }
    for (size_t i = 0; i < report.Findings.size() && i < size_t(kFindingLines); ++i) {
        const game::LevelFinding& finding = report.Findings[i];
        const std::string where = finding.HasCell ? " (" + std::to_string(finding.Cell.X) + ", " +
                                                        std::to_string(finding.Cell.Y) + ")"
                                                  : "";
        text(kMazeX, kFindingsY + int(i) * kFindingsRow,
             (finding.Error ? "Error" : "Warning") + where + ": " + finding.Text,
             finding.Error ? kError : kWarning);
    }
    text(kMazeX, kEstimateY, s.Estimate, kInk, kKeyStripPoints);
    text(kMazeX, kStatusY, s.Status + "   (undo " + std::to_string(e.UndoSteps()) + ")", kInk);
    text(kMazeX, kKeyStripY,
         "Arrows: cursor   Space: paint   Tab, 1-0: brush   B, F: fill   M: mirror   Z, Y: undo, redo",
         kQuiet, kKeyStripPoints);
    text(kMazeX, kKeyStripY + kKeyStripRow,
         "Shift+arrows: header   Ctrl+Left, Right: level   T: play   D: how hard   S: save   E: export   "
         "Esc: leave",
         kQuiet, kKeyStripPoints);
}

}  // namespace shell
