// The menu and information screens: main menu, help, the high-score list,
// the name entry of a new high score, the options and the password entry.
#include <algorithm>
#include <iterator>
#include <string>

#include "engine/image_sprite.h"
#include "game/globals.h"
#include "game/high_scores.h"
#include "game/passwords.h"
#include "shell/main_form.h"
#include "widgets/buttons.h"
#include "widgets/indicators.h"
#include "widgets/input_line.h"
#include "widgets/style.h"

namespace shell {

using namespace game;
using widgets::kBauhausFace;
using widgets::kRed;
using widgets::kTableColour;
using widgets::kYellow;

namespace {

constexpr int kTextPoints = 20;

// The table's columns, each headed by its word: the numbers start where
// their heading starts.
struct TableColumn {
    const char* heading;
    int x;
};
constexpr TableColumn kTableColumns[] = {{"Name", 150}, {"Score", 400}, {"Monsters", 550}, {"Level", 650}};
constexpr int kTableHeadingY = 180;
constexpr int RowY(int row) { return 210 + 25 * row; }
constexpr media::Colour kQuietColour = 140u << 16 | 140u << 8 | 120u;

// The mark of an entry whose game was recorded: a small "play" triangle
// left of the name, drawn by the list.
constexpr int kMarkGap = 24;
constexpr int kMarkWidth = 11;
constexpr int kMarkHeight = 15;
constexpr int kMarkTop = 7;  // below the top of a row of text
constexpr int kLegendPoints = 14;
constexpr int kLegendMarkTop = 3;

void DrawRecordedMark(media::Surface& surface, int x, int top) {
    const uint16_t colour = media::ColourToRgb565(kTableColour);
    for (int row = 0; row < kMarkHeight; ++row) {
        const int y = top + row;
        const int width =
            kMarkWidth * (row <= kMarkHeight / 2 ? row : kMarkHeight - 1 - row) / (kMarkHeight / 2);
        if (y < 0 || y >= surface.Height()) continue;
        for (int dx = 0; dx <= width && x + dx < surface.Width(); ++dx) {
            if (x + dx >= 0) surface.Row(y)[x + dx] = colour;
        }
    }
}

constexpr int kMenuTop = 170;
constexpr int kMenuSpacing = 50;
constexpr int kIndicatorX = 385;

std::unique_ptr<widgets::TInputLine> MakeInputLine(platform::Platform& media) {
    auto line = std::make_unique<widgets::TInputLine>(media, 300, 400);
    line->FontSize = kTextPoints;
    line->FontName = kBauhausFace;
    line->FontColor = kRed;
    return line;
}

}  // namespace

// ---- main menu ---------------------------------------------------------------

void TMainForm::EnterMainMenu() {
    engine::TSprite* root = DXSpriteEngine.Root();
    ButtonCount = 6;
    // The button that was used to leave the menu comes back selected.
    SelectedButton = MenuMemory;
    Buttons[1] = new widgets::TNewGameButton(root);
    Buttons[2] = new widgets::TPasswordButton(root);
    Buttons[3] = new widgets::TOptionsButton(root);
    Buttons[4] = new widgets::THighScoresButton(root);
    Buttons[5] = new widgets::THelpButton(root);
    Buttons[6] = new widgets::TExitButton(root);
    for (int i = 1; i <= ButtonCount; ++i) Buttons[size_t(i)]->Y = kMenuTop + kMenuSpacing * (i - 1);
    Buttons[1]->OnEnter = [this] {
        game::State.CurrentLevel = 0;
        SetScreenState(scGame);
    };
    Buttons[2]->OnEnter = [this] {
        MenuMemory = 2;
        game::State.CurrentLevel = 0;
        SetScreenState(scPassword);
    };
    Buttons[3]->OnEnter = [this] {
        MenuMemory = 3;
        SetScreenState(scOptions);
    };
    Buttons[4]->OnEnter = [this] {
        MenuMemory = 4;
        SetScreenState(scHighScores);
    };
    Buttons[5]->OnEnter = [this] {
        MenuMemory = 5;
        SetScreenState(scHelp);
    };
    Buttons[6]->OnEnter = [this] { SetScreenState(scQuit); };
}

widgets::TButtonSprite* TMainForm::AddReturnButton() {
    auto* button = new widgets::TReturnButton(DXSpriteEngine.Root());
    button->OnEnter = [this] { SetScreenState(scMainMenu); };
    return button;
}

// ---- help --------------------------------------------------------------------

void TMainForm::EnterHelp() {
    engine::TSprite* root = DXSpriteEngine.Root();
    HelpPage = AddImageAt("GameOverview", 30, 30, 1);
    SelectedButton = 1;
    ButtonCount = 6;
    Buttons[1] = new widgets::TGameOverviewButton(root, HelpPage);
    Buttons[1]->Highlight = widgets::TButtonSprite::kActive;
    Buttons[2] = new widgets::TGameRulesButton(root, HelpPage);
    Buttons[3] = new widgets::TIntNotesButton(root, HelpPage);
    Buttons[4] = new widgets::TAboutButton(root, HelpPage);
    Buttons[5] = new widgets::TCreditsButton(root, HelpPage);
    Buttons[6] = AddReturnButton();
    Buttons[6]->X = 495;
    Buttons[6]->Y = 350;
}

// ---- high-score list -----------------------------------------------------------

void TMainForm::EnterHighScores() {
    AddImageAt("HighScoresList", 250, 100, 4);
    ButtonCount = 1;
    SelectedButton = 1;
    Buttons[1] = AddReturnButton();
    Buttons[1]->Highlight = widgets::TButtonSprite::kActive;
    HighScores->Load(HighScoresPath());
    recordedEntries_ = RecordedEntries();
}

void TMainForm::HighScoresFrame() {
    if (!media_.Drawing()) return;
    // Each heading word starts at its column, unless it would run into the
    // next one: then it ends a little before that, still above its numbers.
    constexpr int kHeadingGap = 12;
    for (size_t k = 0; k < std::size(kTableColumns); ++k) {
        const TableColumn& column = kTableColumns[k];
        int x = column.x;
        if (k + 1 < std::size(kTableColumns)) {
            const int width = media_.TextWidth(column.heading, kBauhausFace, kTextPoints);
            x = std::min(x, kTableColumns[k + 1].x - kHeadingGap - width);
        }
        media_.DrawText(x, kTableHeadingY, column.heading, kBauhausFace, kTextPoints, kTableColour);
    }
    if (HighScores->Count == 0) {
        media_.DrawText(kTableColumns[0].x, RowY(1), "No results yet", kBauhausFace, kTextPoints,
                        kQuietColour);
    }
    for (int i = 1; i <= HighScores->Count; ++i) {
        const THighScoreRecord& entry = HighScores->Entries[size_t(i - 1)];
        const std::string cells[] = {entry.Name, std::to_string(entry.Score), std::to_string(entry.Monsters),
                                     std::to_string(entry.Level)};
        for (size_t k = 0; k < std::size(cells); ++k) {
            media_.DrawText(kTableColumns[k].x, RowY(i), cells[k], kBauhausFace, kTextPoints, kTableColour);
        }
        if (size_t(i - 1) < recordedEntries_.size() && recordedEntries_[size_t(i - 1)]) {
            DrawRecordedMark(media_.Display(), kTableColumns[0].x - kMarkGap, RowY(i) + kMarkTop);
        }
    }
    if (std::find(recordedEntries_.begin(), recordedEntries_.end(), true) != recordedEntries_.end()) {
        const int y = RowY(THighScoresCollection::MaxEntries + 1);
        DrawRecordedMark(media_.Display(), kTableColumns[0].x - kMarkGap, y + kLegendMarkTop);
        media_.DrawText(kTableColumns[0].x, y, "a recorded game: watch it with munchora --replay",
                        kBauhausFace, kLegendPoints, kQuietColour);
    }
}

// ---- new high score --------------------------------------------------------------

// The picture comes last: when it is missing, its error ends the entry with
// the input line already there, so the name can still be typed and stored.
void TMainForm::EnterNewHighScore() {
    PlaySound("HighScore");
    InputLine = MakeInputLine(media_);
    AddCenteredImage("AddHighScore", 4);
}

void TMainForm::NewHighScoreFrame() {
    InputLine->Draw();
    if (media_.Drawing()) {
        media_.DrawText(300, 100, "Your score: " + std::to_string(game::State.Player.Score), kBauhausFace,
                        kTextPoints, kYellow);
    }
    if (DXInput().Has(platform::isButton2)) SetScreenState(scHighScores);
}

// Runs however the screen is left, Escape included: the result is never lost.
void TMainForm::LeaveNewHighScore() {
    const std::string path = HighScoresPath();
    HighScores->Load(path);
    game::State.Player.Name = InputLine->Text.substr(0, THighScoresCollection::NameLength);
    HighScores->Insert(game::State.Player);
    // The save replaces the file as a whole, so a failure keeps the old table.
    if (!HighScores->Save(path)) ShowMessage(std::string("Error of writing ") + kHighScoresFile);
    AttachEntry(game::State.Player);
}

// ---- options -----------------------------------------------------------------------

void TMainForm::EnterOptions() {
    ReadSettings(kSettingsFile);
    AddImageAt("Options_Screen", 300, 100, 1);
    engine::TSprite* root = DXSpriteEngine.Root();
    SelectedButton = 1;
    ButtonCount = 6;
    Buttons[1] = new widgets::TGameTypeButton(root);
    Buttons[1]->Highlight = widgets::TButtonSprite::kActive;
    Buttons[2] = new widgets::TGameModeButton(root, media_);
    Buttons[2]->OnEnter = [this] { ToggleFullScreen(); };
    const auto midiVolume = [this] { return MidiVolume(); };
    Buttons[3] =
        new widgets::TMidiVolumeButton(root, midiVolume, [this](uint8_t value) { SetMidiVolume(value); });
    Buttons[4] = new widgets::TWaveVolumeButton(root);
    Buttons[5] = new widgets::TGameSpeedButton(root, DXTimer());
    Buttons[6] = AddReturnButton();
    // Each marker sits on the row of the button that adjusts its setting.
    const auto row = [this](int button) { return int(Buttons[size_t(button)]->Y); };
    Buttons[3]->Indicator = new widgets::TMidiIndicator(root, kIndicatorX, row(3), midiVolume);
    Buttons[4]->Indicator = new widgets::TWaveIndicator(root, kIndicatorX, row(4));
    Buttons[5]->Indicator = new widgets::TSpeedIndicator(root, kIndicatorX, row(5), DXTimer());
}

// ---- password entry ------------------------------------------------------------------

void TMainForm::EnterPassword() {
    InputLine = MakeInputLine(media_);
    media_.UpdateInput();
    AddCenteredImage("EnterPassword", 5);
}

void TMainForm::PasswordFrame() {
    InputLine->Draw();
    if (!DXInput().Has(platform::isButton2)) return;
    for (size_t i = 0; i < LevelPasswords.size(); ++i) {
        if (InputLine->Text == LevelPasswords[i]) {
            // The level before the one the password opens: entering the game
            // screen advances to it.
            game::State.CurrentLevel = int32_t(LevelsPerPassword * (i + 1));
            SetScreenState(scGame);
            break;
        }
    }
    InputLine->Text.clear();
}

}  // namespace shell
