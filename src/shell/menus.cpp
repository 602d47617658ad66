// The menu and information screens: main menu, help, the high-score list,
// the name entry of a new high score, the options and the password entry.
#include <algorithm>
#include <iterator>
#include <string>

#include "engine/image_sprite.h"
#include "game/globals.h"
#include "game/high_scores.h"
#include "game/passwords.h"
#include "shell/online.h"
#include "shell/screen.h"
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

// Each heading word starts at its column, unless it would run into the
// next one: then it ends a little before that, still above its numbers.
void DrawTableHeadings(platform::Platform& media) {
    constexpr int kHeadingGap = 12;
    for (size_t k = 0; k < std::size(kTableColumns); ++k) {
        const TableColumn& column = kTableColumns[k];
        int x = column.x;
        if (k + 1 < std::size(kTableColumns)) {
            const int width = media.TextWidth(column.heading, kBauhausFace, kTextPoints);
            x = std::min(x, kTableColumns[k + 1].x - kHeadingGap - width);
        }
        media.DrawText(x, kTableHeadingY, column.heading, kBauhausFace, kTextPoints, kTableColour);
    }
}

// Which table the screen shows, above its picture, and its keys below the
// Return button.
constexpr int kViewHeadingY = 62;
constexpr int kKeyStripY = 546;

void DrawCentred(platform::Platform& media, int y, const std::string& text, int points,
                 media::Colour colour) {
    const int width = media.TextWidth(text, kBauhausFace, points);
    media.DrawText((platform::kDisplayWidth - width) / 2, y, text, kBauhausFace, points, colour);
}

constexpr int kMenuTop = 170;
constexpr int kMenuSpacing = 46;
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

void TMainForm::TMenuScreen::Key(uint16_t key) {
    int32_t& selected = form_.SelectedButton;
    const int32_t count = form_.ButtonCount;
    if (key == platform::vk::Up || key == platform::vk::Down) form_.PlaySound("Button");
    if (key == platform::vk::Enter) form_.PlaySound("PushButton");
    if (key == platform::vk::Up) --selected;
    if (key == platform::vk::Down) ++selected;
    if (selected == 0) selected = count;
    if (selected == count + 1) selected = 1;
    if (selected >= 1 && selected <= count && form_.Buttons[size_t(selected)]) {
        form_.Buttons[size_t(selected)]->HandleKey(key);
    }
}

void TMainForm::TMainMenuScreen::Enter() {
    TMainForm& f = form_;
    f.onlineTableShown_ = false;
    engine::TSprite* root = f.DXSpriteEngine.Root();
    f.ButtonCount = 8;
    // The button that was used to leave the menu comes back selected.
    f.SelectedButton = f.MenuMemory;
    f.LoadMorePictures();
    f.Buttons[1] = new widgets::TNewGameButton(root);
    f.Buttons[2] = new widgets::TPasswordButton(root);
    f.Buttons[3] = new widgets::TOptionsButton(root);
    f.Buttons[4] = new widgets::THighScoresButton(root);
    f.Buttons[5] = new widgets::THelpButton(root);
    f.Buttons[6] = new widgets::TButtonSprite(root, "Levels");
    f.Buttons[7] = new widgets::TButtonSprite(root, "Editor");
    f.Buttons[8] = new widgets::TExitButton(root);
    for (int i = 1; i <= f.ButtonCount; ++i) f.Buttons[size_t(i)]->Y = kMenuTop + kMenuSpacing * (i - 1);
    f.Buttons[1]->OnEnter = [&f] {
        game::State.CurrentLevel = 0;
        f.SetScreenState(scGame);
    };
    f.Buttons[2]->OnEnter = [&f] {
        f.MenuMemory = 2;
        game::State.CurrentLevel = 0;
        f.SetScreenState(scPassword);
    };
    f.Buttons[3]->OnEnter = [&f] {
        f.MenuMemory = 3;
        f.SetScreenState(scOptions);
    };
    f.Buttons[4]->OnEnter = [&f] {
        f.MenuMemory = 4;
        f.SetScreenState(scHighScores);
    };
    f.Buttons[5]->OnEnter = [&f] {
        f.MenuMemory = 5;
        f.SetScreenState(scHelp);
    };
    f.Buttons[6]->OnEnter = [&f] {
        f.MenuMemory = 6;
        f.SetScreenState(scLevelSets);
    };
    f.Buttons[7]->OnEnter = [&f] {
        f.MenuMemory = 7;
        f.SetScreenState(scEditor);
    };
    f.Buttons[8]->OnEnter = [&f] { f.SetScreenState(scQuit); };
}

void TMainForm::TMainMenuScreen::Leave() { form_.ButtonCount = 0; }

widgets::TButtonSprite* TMainForm::AddReturnButton() {
    auto* button = new widgets::TReturnButton(DXSpriteEngine.Root());
    button->OnEnter = [this] { SetScreenState(scMainMenu); };
    return button;
}

// ---- help --------------------------------------------------------------------

void TMainForm::THelpScreen::Enter() {
    engine::TSprite* root = form_.DXSpriteEngine.Root();
    form_.HelpPage = form_.AddImageAt("GameOverview", 30, 30, 1);
    form_.SelectedButton = 1;
    form_.ButtonCount = 6;
    form_.Buttons[1] = new widgets::TGameOverviewButton(root, form_.HelpPage);
    form_.Buttons[1]->Highlight = widgets::TButtonSprite::kActive;
    form_.Buttons[2] = new widgets::TGameRulesButton(root, form_.HelpPage);
    form_.Buttons[3] = new widgets::TIntNotesButton(root, form_.HelpPage);
    form_.Buttons[4] = new widgets::TAboutButton(root, form_.HelpPage);
    form_.Buttons[5] = new widgets::TCreditsButton(root, form_.HelpPage);
    form_.Buttons[6] = form_.AddReturnButton();
    form_.Buttons[6]->X = 495;
    form_.Buttons[6]->Y = 350;
}

// ---- high-score list -----------------------------------------------------------

void TMainForm::THighScoresScreen::Enter() {
    form_.AddImageAt("HighScoresList", 250, 100, 4);
    form_.ButtonCount = 1;
    form_.SelectedButton = 1;
    form_.Buttons[1] = form_.AddReturnButton();
    form_.Buttons[1]->Highlight = widgets::TButtonSprite::kActive;
    form_.HighScores->Load(HighScoresPath());
    form_.recordedEntries_ = form_.RecordedEntries();
}

void TMainForm::THighScoresScreen::Leave() { form_.ButtonCount = 0; }

void TMainForm::THighScoresScreen::Key(uint16_t key) {
    if (form_.online_->Server().empty() || (key != platform::vk::Left && key != platform::vk::Right)) {
        if (form_.onlineTableShown_) {
            form_.OnlineTableKey(key);
        } else {
            TMenuScreen::Key(key);
        }
        return;
    }
    form_.PlaySound("Button");
    form_.onlineTableShown_ = !form_.onlineTableShown_;
    if (form_.onlineTableShown_) {
        form_.onlineSelected_ = 0;
        form_.online_->FetchTable();
    }
}

void TMainForm::THighScoresScreen::Frame() {
    if (!form_.media_.Drawing()) return;
    DrawTableHeadings(form_.media_);
    if (form_.online_->Server().empty()) {
        DrawLocalTable();
        return;
    }
    const bool online = form_.onlineTableShown_;
    DrawCentred(form_.media_, kViewHeadingY, online ? "Online table" : "Local table", kTextPoints, kYellow);
    DrawCentred(form_.media_, kKeyStripY,
                online ? "Left/Right: local table   Up/Down: choose   Enter: watch   Escape: menu"
                       : "Left/Right: online table   Escape: menu",
                kLegendPoints, kQuietColour);
    if (online) {
        form_.DrawOnlineTable();
    } else {
        DrawLocalTable();
    }
}

void TMainForm::THighScoresScreen::DrawLocalTable() {
    if (form_.HighScores->Count == 0) {
        form_.media_.DrawText(kTableColumns[0].x, RowY(1), "No results yet", kBauhausFace, kTextPoints,
                              kQuietColour);
    }
    for (int i = 1; i <= form_.HighScores->Count; ++i) {
        const THighScoreRecord& entry = form_.HighScores->Entries[size_t(i - 1)];
        const std::string cells[] = {entry.Name, std::to_string(entry.Score), std::to_string(entry.Monsters),
                                     std::to_string(entry.Level)};
        for (size_t k = 0; k < std::size(cells); ++k) {
            form_.media_.DrawText(kTableColumns[k].x, RowY(i), cells[k], kBauhausFace, kTextPoints,
                                  kTableColour);
        }
        if (size_t(i - 1) < form_.recordedEntries_.size() && form_.recordedEntries_[size_t(i - 1)]) {
            DrawRecordedMark(form_.media_.Display(), kTableColumns[0].x - kMarkGap, RowY(i) + kMarkTop);
        }
    }
    if (std::find(form_.recordedEntries_.begin(), form_.recordedEntries_.end(), true) !=
        form_.recordedEntries_.end()) {
        const int y = RowY(THighScoresCollection::MaxEntries + 1);
        DrawRecordedMark(form_.media_.Display(), kTableColumns[0].x - kMarkGap, y + kLegendMarkTop);
        form_.media_.DrawText(kTableColumns[0].x, y, "a recorded game: watch it with munchora --replay",
                              kBauhausFace, kLegendPoints, kQuietColour);
    }
}

void TMainForm::DrawOnlineTable() {
    const auto quiet = [this](const std::string& text) {
        media_.DrawText(kTableColumns[0].x, RowY(1), text, kBauhausFace, kTextPoints, kQuietColour);
    };
    switch (online_->TableState()) {
        case TOnlineTableState::Loading: quiet("Loading the online table..."); return;
        case TOnlineTableState::Unreachable: quiet("The online table cannot be reached"); return;
        case TOnlineTableState::Shown: break;
    }
    const std::vector<TOnlineEntry>& table = online_->Table();
    if (table.empty()) quiet("No results yet");
    for (size_t i = 0; i < table.size(); ++i) {
        const TOnlineEntry& entry = table[i];
        const int y = RowY(int(i) + 1);
        const std::string cells[] = {entry.Name, std::to_string(entry.Score), std::to_string(entry.Monsters),
                                     std::to_string(entry.Level)};
        // The player's own games in the colour of the player's own score.
        const media::Colour colour = entry.Own ? kYellow : kTableColour;
        for (size_t k = 0; k < std::size(cells); ++k)
            media_.DrawText(kTableColumns[k].x, y, cells[k], kBauhausFace, kTextPoints, colour);
        if (i == onlineSelected_)
            DrawRecordedMark(media_.Display(), kTableColumns[0].x - kMarkGap, y + kMarkTop);
    }
}

void TMainForm::OnlineTableKey(uint16_t key) {
    const std::vector<TOnlineEntry>& table = online_->Table();
    if (online_->TableState() != TOnlineTableState::Shown || table.empty()) return;
    if (key == platform::vk::Up || key == platform::vk::Down) {
        PlaySound("Button");
        const size_t count = table.size();
        onlineSelected_ = (onlineSelected_ + (key == platform::vk::Up ? count - 1 : 1)) % count;
    } else if (key == platform::vk::Enter && onlineSelected_ < table.size()) {
        PlaySound("PushButton");
        ShowOnMessageLine("Loading the recording...", kOnlineMessageMs);
        onlineMessage_ = MessageText();
        online_->FetchRecording(table[onlineSelected_].Id);
    }
}

// ---- new high score --------------------------------------------------------------

// The picture comes last: when it is missing, its error ends the entry with
// the input line already there, so the name can still be typed and stored.
void TMainForm::TNewHighScoreScreen::Enter() {
    form_.PlaySound("HighScore");
    form_.InputLine = MakeInputLine(form_.media_);
    if (form_.onlineNameEntry_) {
        form_.LoadMorePictures();
        form_.AddCenteredImage("OnlineName", 4);
    } else {
        form_.AddCenteredImage("AddHighScore", 4);
    }
}

void TMainForm::TNewHighScoreScreen::Frame() {
    form_.InputLine->Draw();
    if (form_.media_.Drawing() && !form_.onlineNameEntry_) {
        form_.media_.DrawText(300, 100, "Your score: " + std::to_string(game::State.Player.Score),
                              kBauhausFace, kTextPoints, kYellow);
    }
    if (form_.DXInput().Has(platform::isButton2)) form_.SetScreenState(scHighScores);
}

// Runs however the screen is left, Escape included: the result is never lost.
void TMainForm::TNewHighScoreScreen::Leave() {
    if (form_.onlineNameEntry_) {
        form_.onlineNameEntry_ = false;
        form_.online_->SetPlayerName(form_.InputLine->Text.substr(0, THighScoresCollection::NameLength));
        form_.WriteSettings(kSettingsFile);
        form_.SubmitEndedGame();
        return;
    }
    const std::string path = HighScoresPath();
    form_.HighScores->Load(path);
    game::State.Player.Name = form_.InputLine->Text.substr(0, THighScoresCollection::NameLength);
    form_.HighScores->Insert(game::State.Player);
    // The save replaces the file as a whole, so a failure keeps the old table.
    if (!form_.HighScores->Save(path)) form_.ShowMessage(std::string("Error of writing ") + kHighScoresFile);
    form_.AttachEntry(game::State.Player);
    form_.SubmitEndedGame();
}

// ---- options -----------------------------------------------------------------------

void TMainForm::TOptionsScreen::Enter() {
    form_.ReadSettings(kSettingsFile);
    form_.AddImageAt("Options_Screen", 300, 100, 1);
    engine::TSprite* root = form_.DXSpriteEngine.Root();
    form_.SelectedButton = 1;
    const bool online = !form_.online_->Server().empty();
    form_.ButtonCount = online ? 7 : 6;
    form_.Buttons[1] = new widgets::TGameTypeButton(root);
    form_.Buttons[1]->Highlight = widgets::TButtonSprite::kActive;
    form_.Buttons[2] = new widgets::TGameModeButton(root, form_.media_);
    form_.Buttons[2]->OnEnter = [this] { form_.ToggleFullScreen(); };
    const auto midiVolume = [this] { return form_.MidiVolume(); };
    form_.Buttons[3] = new widgets::TMidiVolumeButton(root, midiVolume,
                                                      [this](uint8_t value) { form_.SetMidiVolume(value); });
    form_.Buttons[4] = new widgets::TWaveVolumeButton(root);
    form_.Buttons[5] = new widgets::TGameSpeedButton(root, form_.DXTimer());
    if (online) {
        form_.LoadMorePictures();
        TOnline& table = *form_.online_;
        form_.Buttons[6] = new widgets::TOnlineTableButton(
            root, [&table] { return table.Sending(); }, [&table](bool send) { table.SetSending(send); });
    }
    form_.Buttons[size_t(form_.ButtonCount)] = form_.AddReturnButton();
    // Each marker sits on the row of the button that adjusts its setting.
    const auto row = [this](int button) { return int(form_.Buttons[size_t(button)]->Y); };
    form_.Buttons[3]->Indicator = new widgets::TMidiIndicator(root, kIndicatorX, row(3), midiVolume);
    form_.Buttons[4]->Indicator = new widgets::TWaveIndicator(root, kIndicatorX, row(4));
    form_.Buttons[5]->Indicator = new widgets::TSpeedIndicator(root, kIndicatorX, row(5), form_.DXTimer());
}

void TMainForm::TNewHighScoreScreen::Key(uint16_t key) {
    if (form_.InputLine) form_.InputLine->HandleKey(key);
}

void TMainForm::TOptionsScreen::Leave() { form_.WriteSettings(kSettingsFile); }

// ---- password entry ------------------------------------------------------------------

void TMainForm::TPasswordScreen::Enter() {
    form_.InputLine = MakeInputLine(form_.media_);
    form_.media_.UpdateInput();
    form_.AddCenteredImage("EnterPassword", 5);
}

void TMainForm::TPasswordScreen::Frame() {
    form_.InputLine->Draw();
    if (!form_.DXInput().Has(platform::isButton2)) return;
    for (size_t i = 0; i < LevelPasswords.size(); ++i) {
        if (form_.InputLine->Text == LevelPasswords[i]) {
            // The level before the one the password opens: entering the game
            // screen advances to it.
            game::State.CurrentLevel = int32_t(LevelsPerPassword * (i + 1));
            form_.SetScreenState(scGame);
            break;
        }
    }
    form_.InputLine->Text.clear();
}

void TMainForm::TPasswordScreen::Key(uint16_t key) {
    if (form_.InputLine) form_.InputLine->HandleKey(key);
}

}  // namespace shell
