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
    EXPECT_EQ(form_->Media().Clock().Interval(), 10u);
    EXPECT_EQ(game::State.GameType, game::gtFeatures);
    EXPECT_EQ(form_->Screen(), shell::scNone);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Munchora.ini"));  // nothing written at start
}

TEST_F(StartupTest, SettingsAreClampedAndGameTypeIsNotRead) {
    WriteFile("Munchora.ini", "[general]\nTimer=-5\nMidiVolume=300\nGameType=0\nWaveVolume=$FFFFF830\n");
    Probe().ReadSettings("Munchora.ini");
    EXPECT_EQ(form_->Media().Clock().Interval(), 0u);
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
    form_->Media().Clock().SetInterval(20);
    Probe().WriteSettings("Munchora.ini");
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
    Probe().WriteSettings("Munchora.ini");
    EXPECT_NE(Events().find("message Munchora|Error of writing Munchora.ini"), std::string::npos);
    EXPECT_TRUE(form_->Closing());
    std::ifstream in(dir_ / "Munchora.ini");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[General]\nTimer=5\n");
}

TEST_F(StartupTest, NoLevelsEndsTheProgram) {
    Probe().CountLevels();
    EXPECT_EQ(game::State.LevelCount, 0);
    EXPECT_NE(Events().find("message Munchora|No levels were found"), std::string::npos);
    EXPECT_TRUE(form_->Closing());
}

TEST_F(StartupTest, LevelsAreCountedByTheirFiles) {
    WriteFile("Levels/Level01.map", "");
    WriteFile("Levels/Level02.MAP", "");
    WriteFile("Levels/notes.txt", "");
    Probe().CountLevels();
    EXPECT_EQ(game::State.LevelCount, 2);
    EXPECT_FALSE(form_->Closing());
}

TEST_F(StartupTest, AltEnterTwiceReturnsToTheWindow) {
    form_->OnKeyDown(platform::vk::Enter, platform::kAlt);
    EXPECT_TRUE(media_->FullScreen());
    EXPECT_TRUE(form_->Media().Clock().Enabled());
    form_->OnKeyDown(platform::vk::Enter, platform::kAlt);
    EXPECT_FALSE(media_->FullScreen());
    EXPECT_TRUE(form_->Media().Clock().Enabled());
}

}  // namespace

namespace {

class MessageBoxPauseTest : public testing_support::GameFixture {};

TEST_F(MessageBoxPauseTest, AMessageBoxPausesOnlyAGame) {
    Probe().SetScreenWithoutEntering(shell::scMainMenu);
    form_->ShowMessage("Something");
    EXPECT_FALSE(Probe().Paused());  // a pause here would freeze the menu and the next game
    Probe().SetScreenWithoutEntering(shell::scGame);
    Probe().Deactivate();
    EXPECT_TRUE(Probe().Paused());
    Probe().Activate();
    EXPECT_FALSE(Probe().Paused());
}

}  // namespace
