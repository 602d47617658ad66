#include <filesystem>
#include <fstream>

#include "formats/ini_file.h"
#include "support/game_fixture.h"

namespace {

using testing_support::GameFixture;

class StartupTest : public GameFixture {};

TEST_F(StartupTest, MissingSettingsFileGivesTheDefaults) {
    EXPECT_EQ(game::Setup.WaveVolume, -5000);
    EXPECT_EQ(form_->MidiVolume(), 200);
    EXPECT_EQ(form_->DXTimer().Interval(), 10u);
    EXPECT_EQ(game::State.GameType, game::gtFeatures);
    EXPECT_EQ(form_->State, shell::scNone);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Munchora.ini"));  // nothing written at start
}

TEST_F(StartupTest, SettingsAreClampedAndGameTypeIsNotRead) {
    WriteFile("Munchora.ini", "[general]\nTimer=-5\nMidiVolume=300\nGameType=0\nWaveVolume=$FFFFF830\n");
    form_->ReadSettings("Munchora.ini");
    EXPECT_EQ(form_->DXTimer().Interval(), 0u);
    EXPECT_EQ(form_->MidiVolume(), 44);  // only the low 8 bits
    EXPECT_EQ(game::State.GameType, game::gtFeatures);
    EXPECT_EQ(game::Setup.WaveVolume, -2000);
}

TEST_F(StartupTest, WritingSettingsKeepsTheCatalogue) {
    const std::string catalogue = "[Scene1]\r\nIntro=Data\\Images\\Intro.bmp,800,600\r\n";
    WriteFile("Munchora.ini", "[General]\r\nWaveVolume=-5000\r\n\r\n" + catalogue);
    game::Setup.WaveVolume = -3000;
    game::State.GameType = game::gtClassic;
    form_->SetMidiVolume(16);
    form_->DXTimer().SetInterval(20);
    form_->WriteSettings("Munchora.ini");
    const auto ini = formats::IniFile::Load((dir_ / "Munchora.ini").string());
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->ReadInteger("General", "WaveVolume", 0), -3000);
    EXPECT_EQ(ini->ReadInteger("General", "MidiVolume", 0), 16);
    EXPECT_EQ(ini->ReadString("General", "GameType", ""), "0");
    EXPECT_EQ(ini->ReadInteger("General", "Timer", 0), 20);
    EXPECT_NE(ini->ToText().find(catalogue), std::string::npos);
    EXPECT_NE(Events().find("settings-written"), std::string::npos);
    EXPECT_FALSE(form_->Closing());
}

TEST_F(StartupTest, SettingsThatCannotBeWrittenEndTheProgramAndKeepTheFile) {
    std::filesystem::create_directories(dir_ / "Munchora.ini.tmp");  // blocks the temporary file
    WriteFile("Munchora.ini", "[General]\nTimer=5\n");
    form_->WriteSettings("Munchora.ini");
    EXPECT_NE(Events().find("message Munchora|Error of writing Munchora.ini"), std::string::npos);
    EXPECT_TRUE(form_->Closing());
    std::ifstream in(dir_ / "Munchora.ini");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[General]\nTimer=5\n");
}

TEST_F(StartupTest, NoLevelsEndsTheProgram) {
    form_->CountLevels();
    EXPECT_EQ(game::State.LevelCount, 0);
    EXPECT_NE(Events().find("message Munchora|No levels were found"), std::string::npos);
    EXPECT_TRUE(form_->Closing());
}

TEST_F(StartupTest, LevelsAreCountedByTheirFiles) {
    WriteFile("Levels/Level01.map", "");
    WriteFile("Levels/Level02.MAP", "");
    WriteFile("Levels/notes.txt", "");
    form_->CountLevels();
    EXPECT_EQ(game::State.LevelCount, 2);
    EXPECT_FALSE(form_->Closing());
}

TEST_F(StartupTest, AltEnterTwiceReturnsToTheWindow) {
    form_->FormKeyDown(platform::vk::Enter, platform::kAlt);
    EXPECT_TRUE(media_->FullScreen());
    EXPECT_TRUE(form_->DXTimer().Enabled());
    form_->FormKeyDown(platform::vk::Enter, platform::kAlt);
    EXPECT_FALSE(media_->FullScreen());
    EXPECT_TRUE(form_->DXTimer().Enabled());
}

}  // namespace

namespace {

class MessageBoxPauseTest : public testing_support::GameFixture {};

TEST_F(MessageBoxPauseTest, AMessageBoxPausesOnlyAGame) {
    form_->State = shell::scMainMenu;
    form_->ShowMessage("Something");
    EXPECT_FALSE(form_->Paused);  // a pause here would freeze the menu and the next game
    form_->State = shell::scGame;
    form_->FormDeactivate();
    EXPECT_TRUE(form_->Paused);
    form_->FormActivate();
    EXPECT_FALSE(form_->Paused);
}

}  // namespace
