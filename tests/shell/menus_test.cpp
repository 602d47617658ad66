// The menu screens driven through the window's keys and frames, over a small
// catalogue of plain pictures written into the test's program directory.
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "engine/image_sprite.h"
#include "formats/ini_file.h"
#include "game/high_scores.h"
#include "support/bmp.h"
#include "support/game_fixture.h"
#include "widgets/button.h"
#include "widgets/indicators.h"
#include "widgets/input_line.h"

namespace {

using namespace shell;
using testing_support::GameFixture;
namespace vk = platform::vk;

// A w x h picture in one light grey.
std::string Bitmap(int w, int h) { return testing_support::Bitmap(w, h, 200, 200, 200); }

std::string Entries(const std::string& file, std::initializer_list<const char*> names) {
    std::string text;
    for (const char* name : names) text += std::string(name) + "=" + file + ",0,0\n";
    return text;
}

std::string ButtonEntries(std::initializer_list<const char*> prefixes) {
    std::string text;
    for (const char* prefix : prefixes) {
        text += std::string(prefix) + "_Normal=Data\\button.bmp,0,0\n";
        text += std::string(prefix) + "_Active=Data\\button.bmp,0,0\n";
    }
    return text;
}

class MenusTest : public GameFixture {
protected:
    void SetUp() override {
        GameFixture::SetUp();
        WriteFile("Data/button.bmp", Bitmap(100, 20));
        WriteFile("Data/page.bmp", Bitmap(40, 30));
        WriteFile("Data/rules.bmp", Bitmap(60, 44));
        WriteSettingsFile("");
        for (const char* sound : {"Button", "PushButton", "WaveTest", "HighScore"}) {
            Probe().Sounds().Add(sound, std::make_shared<media::Wave>(std::vector<uint8_t>{}));
        }
    }

    void WriteSettingsFile(const std::string& general) {
        WriteFile(
            "Munchora.ini",
            "[General]\n" + general + "\n[Scene2]\n" +
                ButtonEntries({"NewGame", "Password", "Options", "High Scores", "Help", "Exit"}) +
                "[Scene4]\n" +
                ButtonEntries(
                    {"GameOverview", "GameRules", "InterfaceNotes", "AboutVendra", "Credits", "Return"}) +
                Entries("Data\\page.bmp", {"GameOverview", "InterfaceNotes", "AboutVendra", "Credits"}) +
                Entries("Data\\rules.bmp", {"GameRules"}) + "[Scene6]\n" + ButtonEntries({"Return"}) +
                Entries("Data\\page.bmp", {"HighScoresList"}) + "[Scene9]\n" +
                Entries("Data\\page.bmp", {"AddHighScore"}) + "[Scene10]\n" +
                ButtonEntries({"GameTypeClassic", "GameTypeFeatures", "WindowMode", "FullScreen",
                               "MusicVolume", "WaveVolume", "GameSpeed", "Return", "Indicator"}) +
                Entries("Data\\page.bmp", {"Options_Screen"}) + "[Scene13]\n" +
                Entries("Data\\page.bmp", {"EnterPassword"}) + "[MorePictures]\n" +
                ButtonEntries({"Levels", "Editor"}) +
                // What the game screen needs to start a level at all.
                "[Scene3]\n" + Entries("Data\\page.bmp", {"Dot", "Appearence", "ChomperLife", "KeyHints"}));
    }

    void Key(uint16_t key, int times = 1) {
        for (int i = 0; i < times; ++i) form_->OnKeyDown(key, 0);
    }
    void Type(const std::string& keys) {
        for (char c : keys) Key(uint16_t(static_cast<unsigned char>(c)));
    }
    // Fire 2 held for one frame of the screen.
    // Button 2 on the name or password entry.
    void Confirm() {
        form_->Media().Input().Update(platform::isButton2);
        form_->RunScreenFrame();
    }
    // The settings file without the catalogue line of one picture.
    void WithoutPicture(const std::string& name) {
        std::ifstream in(dir_ / "Munchora.ini");
        std::string text, line;
        while (std::getline(in, line)) {
            if (line.rfind(name + "=", 0) != 0) text += line + "\n";
        }
        WriteFile("Munchora.ini", text);
    }
    const media::ImageEntry* Image(const std::string& name) { return &Probe().Images().Find(name); }
    widgets::TButtonSprite* Button(int position) { return Probe().Button(position); }

    void WriteTable(std::initializer_list<game::THighScoreRecord> records) {
        game::THighScoresCollection table;
        for (const auto& record : records) table.Insert(record);
        ASSERT_TRUE(table.Save((dir_ / "Munchora.hsc").string()));
    }
    game::THighScoresCollection ReadTable() {
        game::THighScoresCollection table;
        EXPECT_TRUE(table.Load((dir_ / "Munchora.hsc").string()));
        return table;
    }
};

// ---- options ----------------------------------------------------------------

TEST_F(MenusTest, MusicVolumeStepsBy16AndStopsAtBothEnds) {
    WriteSettingsFile("MidiVolume=100\n");
    form_->SetScreenState(scOptions);
    Key(vk::Down, 2);
    ASSERT_EQ(Probe().SelectedButton(), 3);
    Key(vk::Left);
    EXPECT_EQ(form_->MidiVolume(), 116);
    Key(vk::Right, 2);
    EXPECT_EQ(form_->MidiVolume(), 84);
    form_->SetMidiVolume(245);
    Key(vk::Left);
    EXPECT_EQ(form_->MidiVolume(), 255);
    EXPECT_EQ(machine_->MidiAttenuation(), 255);
    form_->SetMidiVolume(10);
    Key(vk::Right);
    EXPECT_EQ(form_->MidiVolume(), 0);
}

TEST_F(MenusTest, WaveVolumePlaysTheTestSoundAtTheOldVolumeThenSteps) {
    WriteSettingsFile("WaveVolume=-500\n");
    form_->SetScreenState(scOptions);
    Key(vk::Down, 3);
    Key(vk::Right);
    EXPECT_NE(Events().find("sound WaveTest -500\n"), std::string::npos);
    EXPECT_EQ(game::Setup.WaveVolume, 0);
    Key(vk::Left);
    EXPECT_EQ(game::Setup.WaveVolume, -1000);
    game::Setup.WaveVolume = -9500;
    Key(vk::Left);
    EXPECT_NE(Events().find("sound WaveTest -9500\n"), std::string::npos);
    EXPECT_EQ(game::Setup.WaveVolume, -10000);
    Key(vk::Enter);  // neither a sound nor a change
    EXPECT_EQ(Events().find("sound WaveTest -10000"), std::string::npos);
    EXPECT_EQ(game::Setup.WaveVolume, -10000);
}

TEST_F(MenusTest, GameSpeedStepsBy10MsBetween0And100) {
    WriteSettingsFile("Timer=95\n");
    form_->SetScreenState(scOptions);
    Key(vk::Up, 2);  // wraps round: the return button, then the speed button
    ASSERT_EQ(Probe().SelectedButton(), 5);
    Key(vk::Left);
    EXPECT_EQ(form_->Media().Clock().Interval(), 100u);
    Key(vk::Right);
    EXPECT_EQ(form_->Media().Clock().Interval(), 90u);
    form_->Media().Clock().SetInterval(5);
    Key(vk::Right);
    EXPECT_EQ(form_->Media().Clock().Interval(), 0u);
}

TEST_F(MenusTest, GameTypeAndDisplayModeButtonsSwitchAndShowTheNewSetting) {
    form_->SetScreenState(scOptions);
    ASSERT_EQ(game::State.GameType, game::gtFeatures);
    EXPECT_EQ(Button(1)->NormalImage, Image("GameTypeFeatures_Normal"));
    Key(vk::Enter);
    EXPECT_EQ(game::State.GameType, game::gtClassic);
    EXPECT_EQ(Button(1)->NormalImage, Image("GameTypeClassic_Normal"));
    EXPECT_EQ(Button(1)->ActiveImage, Image("GameTypeClassic_Active"));
    Key(vk::Enter);
    EXPECT_EQ(game::State.GameType, game::gtFeatures);
    EXPECT_EQ(Button(1)->ActiveImage, Image("GameTypeFeatures_Active"));

    EXPECT_EQ(Button(2)->NormalImage, Image("FullScreen_Normal"));
    Key(vk::Down);
    Key(vk::Enter);
    EXPECT_TRUE(media_->FullScreen());
    EXPECT_EQ(Button(2)->NormalImage, Image("WindowMode_Normal"));
}

TEST_F(MenusTest, SelectedSettingButtonShowsItsIndicatorActive) {
    form_->SetScreenState(scOptions);
    Key(vk::Down, 3);
    // The highlight is set after drawing and shown from the next step.
    form_->OnFrame();
    form_->OnFrame();
    EXPECT_EQ(Button(4)->Indicator->Image, Image("Indicator_Active"));
    EXPECT_EQ(Button(3)->Indicator->Image, Image("Indicator_Normal"));
    EXPECT_EQ(Button(5)->Indicator->Image, Image("Indicator_Normal"));
    EXPECT_NE(dynamic_cast<widgets::TWaveIndicator*>(Button(4)->Indicator), nullptr);
}

TEST_F(MenusTest, LeavingTheOptionsSavesThemBesideTheCatalogue) {
    form_->SetScreenState(scOptions);
    Key(vk::Enter);  // classic
    Key(vk::Down, 2);
    Key(vk::Right);
    Key(vk::Down, 3);
    Key(vk::Enter);  // the return button
    EXPECT_EQ(form_->Screen(), scMainMenu);
    const auto ini = formats::IniFile::Load((dir_ / "Munchora.ini").string());
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->ReadString("General", "GameType", ""), "0");
    EXPECT_EQ(ini->ReadInteger("General", "MidiVolume", 0), 200 - 16);
    EXPECT_EQ(ini->ReadString("Scene10", "Options_Screen", ""), "Data\\page.bmp,0,0");
}

// ---- main menu ----------------------------------------------------------------

TEST_F(MenusTest, MenuComesBackWithTheButtonThatLeftIt) {
    form_->SetScreenState(scMainMenu);
    EXPECT_EQ(Probe().SelectedButton(), 1);

    Key(vk::Down, 2);
    Key(vk::Enter);
    ASSERT_EQ(form_->Screen(), scOptions);
    Key(vk::Escape);
    ASSERT_EQ(form_->Screen(), scMainMenu);
    EXPECT_EQ(Probe().SelectedButton(), 3);

    Key(vk::Down);
    Key(vk::Enter);
    ASSERT_EQ(form_->Screen(), scHighScores);
    Key(vk::Enter);  // its only button returns
    ASSERT_EQ(form_->Screen(), scMainMenu);
    EXPECT_EQ(Probe().SelectedButton(), 4);

    Key(vk::Down);
    Key(vk::Enter);
    ASSERT_EQ(form_->Screen(), scHelp);
    Key(vk::Escape);
    EXPECT_EQ(Probe().SelectedButton(), 5);

    game::State.CurrentLevel = 4;
    Key(vk::Up, 3);
    Key(vk::Enter);
    ASSERT_EQ(form_->Screen(), scPassword);
    EXPECT_EQ(game::State.CurrentLevel, 0);
    Key(vk::Escape);
    EXPECT_EQ(Probe().SelectedButton(), 2);

    Key(vk::Up, 2);
    Key(vk::Enter);
    EXPECT_EQ(form_->Screen(), scQuit);
    EXPECT_TRUE(form_->Closing());
}

// ---- help ----------------------------------------------------------------------

TEST_F(MenusTest, HelpPagesTurnAsTheSelectionMoves) {
    form_->SetScreenState(scHelp);
    ASSERT_NE(Probe().HelpPage(), nullptr);
    EXPECT_EQ(Probe().HelpPage()->Image, Image("GameOverview"));
    Key(vk::Down);
    EXPECT_EQ(Probe().HelpPage()->Image, Image("GameRules"));
    EXPECT_EQ(Probe().HelpPage()->Width, 60);
    EXPECT_EQ(Probe().HelpPage()->Height, 44);
    Key(vk::Down, 3);
    EXPECT_EQ(Probe().HelpPage()->Image, Image("Credits"));
    Key(vk::Down);  // the return button leaves the page as it is
    EXPECT_EQ(Probe().HelpPage()->Image, Image("Credits"));
    Key(vk::Down);
    EXPECT_EQ(Probe().HelpPage()->Image, Image("GameOverview"));
    EXPECT_EQ(Probe().HelpPage()->Width, 40);
}

// ---- high scores -------------------------------------------------------------------

TEST_F(MenusTest, TypedNameIsStoredInTheFileAndListed) {
    WriteTable({{"ANNA", 900, 1, 1, 4}, {"BO", 300, 1, 1, 2}});
    game::State.Player.Score = 500;
    game::State.Player.Monsters = 7;
    game::State.Player.Bonuses = 2;
    game::State.Player.Level = 3;
    form_->SetScreenState(scNewHighScore);
    EXPECT_NE(Events().find("sound HighScore"), std::string::npos);
    Type("ZE");
    Key(vk::Backspace);
    Type("ED 2");
    Confirm();
    ASSERT_EQ(form_->Screen(), scHighScores);

    const game::THighScoresCollection stored = ReadTable();
    ASSERT_EQ(stored.Count, 3);
    EXPECT_EQ(stored.Entries[1].Name, "ZED 2");
    EXPECT_EQ(stored.Entries[1].Score, 500);
    EXPECT_EQ(stored.Entries[1].Monsters, 7);
    EXPECT_EQ(stored.Entries[1].Bonuses, 2);
    EXPECT_EQ(stored.Entries[1].Level, 3);
    EXPECT_EQ(stored.Entries[2].Name, "BO");
    // The list shows the table it loaded.
    EXPECT_EQ(Probe().HighScores().Count, 3);
    EXPECT_EQ(Probe().HighScores().Entries[1].Name, "ZED 2");
}

TEST_F(MenusTest, EscapeStoresTheEntryToo) {
    game::State.Player.Score = 40;
    form_->SetScreenState(scNewHighScore);
    Type("AL");
    Key(vk::Escape);
    EXPECT_EQ(form_->Screen(), scMainMenu);
    const game::THighScoresCollection stored = ReadTable();
    ASSERT_EQ(stored.Count, 1);
    EXPECT_EQ(stored.Entries[0].Name, "AL");
    EXPECT_EQ(stored.Entries[0].Score, 40);
}

TEST_F(MenusTest, ClosingTheWindowStoresTheEntryAsEscapeDoes) {
    game::State.Player.Score = 40;
    form_->SetScreenState(scNewHighScore);
    Type("AL");
    form_->OnCloseButton();
    form_->OnCloseButton();  // a second close stores nothing more
    EXPECT_TRUE(form_->Closing());
    const game::THighScoresCollection stored = ReadTable();
    ASSERT_EQ(stored.Count, 1);
    EXPECT_EQ(stored.Entries[0].Name, "AL");
    EXPECT_EQ(stored.Entries[0].Score, 40);
}

// The entry of a screen whose picture is missing from the catalogue ends
// with the error, as a frame would show it; the screen itself still works.
std::string EnterWithError(TMainForm& form, TScreenState screen) {
    try {
        form.SetScreenState(screen);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

TEST_F(MenusTest, NameEntryWithoutItsPictureStillTakesAndStoresTheName) {
    WithoutPicture("AddHighScore");
    game::State.Player.Score = 40;
    EXPECT_EQ(EnterWithError(*form_, scNewHighScore), "Image 'AddHighScore' not found");
    Type("AL");
    form_->OnFrame();
    Confirm();
    EXPECT_EQ(form_->Screen(), scHighScores);
    const game::THighScoresCollection stored = ReadTable();
    ASSERT_EQ(stored.Count, 1);
    EXPECT_EQ(stored.Entries[0].Name, "AL");
}

TEST_F(MenusTest, PasswordEntryWithoutItsPictureStillTakesAPassword) {
    WithoutPicture("EnterPassword");
    EXPECT_EQ(EnterWithError(*form_, scPassword), "Image 'EnterPassword' not found");
    Type("TOQ");
    form_->OnFrame();
    ASSERT_EQ(Probe().InputLine().Text, "TOQ");
    Confirm();
    EXPECT_EQ(form_->Screen(), scGame);
    EXPECT_EQ(game::State.CurrentLevel, 7);
}

TEST_F(MenusTest, FailedSaveIsReportedAndKeepsTheOldFile) {
    WriteTable({{"ANNA", 900, 0, 0, 4}});
    std::filesystem::create_directories(dir_ / "Munchora.hsc.tmp");  // blocks the temporary file
    game::State.Player.Score = 500;
    form_->SetScreenState(scNewHighScore);
    Type("ZED");
    Confirm();
    EXPECT_NE(Events().find("message Munchora|Error of writing Munchora.hsc"), std::string::npos);
    EXPECT_FALSE(form_->Closing());
    EXPECT_EQ(form_->Screen(), scHighScores);
    const game::THighScoresCollection stored = ReadTable();
    ASSERT_EQ(stored.Count, 1);
    EXPECT_EQ(stored.Entries[0].Name, "ANNA");
}

// Ink of the table's text in the score column between two heights.
bool ScoreColumnHasInk(const media::Surface& surface, int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
        for (int x = 400; x < 540; ++x) {
            if (surface.Row(y)[x] != 0) return true;
        }
    }
    return false;
}

TEST_F(MenusTest, ListHasOneRowPerEntry25PixelsApart) {
    WriteTable({{"A", 7000, 0, 0, 1}, {"B", 6000, 0, 0, 1}, {"C", 5000, 0, 0, 1}});
    form_->SetScreenState(scHighScores);
    form_->OnFrame();
    const media::Surface& surface = media_->Display();
    ASSERT_TRUE(ScoreColumnHasInk(surface, 180, 205)) << "the heading needs a font to draw with";
    // Rows start at 235; the middle of each row's letters.
    for (int row = 1; row <= 3; ++row) {
        EXPECT_TRUE(ScoreColumnHasInk(surface, 210 + 25 * row + 10, 210 + 25 * row + 16)) << row;
    }
    EXPECT_FALSE(ScoreColumnHasInk(surface, 210 + 25 * 4 + 10, 480));  // down to the return button
}

// ---- password -------------------------------------------------------------------------

TEST_F(MenusTest, WrongPasswordIsClearedAndRightOneStartsItsLevel) {
    form_->SetScreenState(scPassword);
    Type("TOQQ");
    Confirm();
    EXPECT_EQ(form_->Screen(), scPassword);
    EXPECT_EQ(Probe().InputLine().Text, "");
    // Lower-case letters come only from keypad and function keys; no match.
    Type("toq");
    ASSERT_EQ(Probe().InputLine().Text, "toq");
    Confirm();
    EXPECT_EQ(form_->Screen(), scPassword);
    EXPECT_EQ(game::State.CurrentLevel, 0);

    Type("KIV");
    Confirm();
    EXPECT_EQ(form_->Screen(), scGame);
    EXPECT_EQ(game::State.CurrentLevel, 19);
    EXPECT_EQ(Probe().InputLine().Text, "");
}

}  // namespace
