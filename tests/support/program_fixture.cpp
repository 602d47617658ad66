#include "support/program_fixture.h"

#include <unistd.h>

#include <fstream>
#include <memory>

#include "game/globals.h"
#include "game/level.h"
#include "game/random.h"
#include "support/bmp.h"

namespace testing_support {

void ProgramFixture::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps two test runs at the same time (two builds) apart.
    dir_ = std::filesystem::temp_directory_path() /
           ("munchora_" + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    game::ResetGlobals();
    game::State.RandSeed = 0;
    game::Setup.ProgramDir = dir_.string() + "/";
}

void ProgramFixture::TearDown() {
    game::SetRandomClock(nullptr);
    std::filesystem::remove_all(dir_);
}

void ProgramFixture::WriteFile(const std::string& relativePath, const std::string& contents) {
    const auto path = dir_ / relativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

void ProgramFixture::WriteLevel(int number, const std::string& general,
                                const std::vector<std::string>& rows) {
    const std::string digits = game::LevelDigits(number);
    const int width = rows.empty() ? 0 : int(rows[0].size());
    const int height = int(rows.size());
    std::string text = "[General]\nMapWidth=" + std::to_string(width) +
                       "\nMapHeight=" + std::to_string(height) + "\n" + general + "\n[Map]\n";
    for (const std::string& row : rows) text += row + "\n";
    WriteFile("Levels/Level" + digits + ".map", text);
    // One pixel more than the maze, so the catalogue entry keeps the maze size as its pattern.
    WriteFile("Levels/Level" + digits + ".bmp", Bitmap(width * 32 + 1, height * 32 + 1));
}

media::ImageEntry& AddTestImage(media::ImageList& images, const std::string& name, int patterns, int w,
                                int h) {
    std::vector<uint16_t> pixels(size_t(w) * patterns * h, 0xFFFF);
    auto picture = std::make_shared<media::Picture>(w * patterns, h, std::move(pixels));
    media::ImageEntry& entry = images.Add(name, picture);
    entry.SetPatternWidth(w);
    entry.SetPatternHeight(h);
    return entry;
}

std::vector<TestPicture> GameScreenPictures() {
    std::vector<TestPicture> pictures = {
        {"Appearence", 4},
        {"PUp", 2},
        {"PDown", 2},
        {"PLeft", 2},
        {"PRight", 2},
        {"Death", 4},
        {"ChomperHappy", 8},
        {"ChomperLife", 1},
        {"KeyHints", 1},
        {"Dot", 1},
        {"LevelComplete", 2},
        {"ExitPrompt", 1},
        {"GateHorizShut", 2},
        {"GateHorizOpen", 2},
        {"GateVertShut", 2},
        {"GateVertOpen", 2},
        {"RedBall", 2},
        {"BonusMoney", 2},
        {"Money", 2},
        {"BonusLife", 2},
        {"1Up", 2},
        {"BonusSlow", 2},
        {"Slow", 2},
        {"BonusDouble", 2},
        {"Double", 2},
        {"BonusKillAll", 2},
        {"KillAll", 2},
        {"BonusKill", 2},
        {"OneKilled", 2},
        {"BonusKeyboard", 2},
        {"KeyboardChange", 2},
        {"BonusKey", 2},
        {"Key", 2},
        {"EnemyAppearence", 4},
        {"EnemyDeath", 4},
        {"BossAppearence", 4},
        {"BossDeath", 4},
        {"GhostAppearence", 4},
        {"GhostDeath", 4},
    };
    // Every monster kind walks with a picture per direction.
    for (const char* walker : {"Enemy", "Victim", "Boss", "Ghost"}) {
        for (const char* direction : {"Up", "Right", "Down", "Left"}) {
            pictures.push_back({std::string(walker) + direction, 2});
        }
    }
    return pictures;
}

const std::vector<std::string>& GameScreenSounds() {
    static const std::vector<std::string> sounds = {
        "EatDot",        "LevelComplete", "Death",        "Victim",      "GameOver",     "GameComplete",
        "BonusMoney",    "BonusLife",     "BonusSlow",    "BonusDouble", "BonusKillAll", "BonusKill",
        "BonusKeyboard", "BonusKey",      "RedBallEaten", "GateOpen",    "Button",       "PushButton",
    };
    return sounds;
}

}  // namespace testing_support
