#include "support/level_fixture.h"

#include "engine/image_sprite.h"
#include "game/level.h"
#include "support/bmp.h"

namespace testing_support {

namespace {

// A catalogue name and the bitmap of 32 x 32 patterns it is cut from.
struct Picture {
    const char* name;
    const char* file;
};

constexpr Picture kGamePictures[] = {
    {"Appearence", "Four"},
    {"PUp", "Two"},
    {"PDown", "Two"},
    {"PLeft", "Two"},
    {"PRight", "Two"},
    {"Death", "Four"},
    {"ChomperHappy", "Four"},
    {"ChomperLife", "One"},
    {"Dot", "One"},
    {"LevelComplete", "Two"},
    {"ExitPrompt", "One"},
    {"GateHorizShut", "Two"},
    {"GateHorizOpen", "Two"},
    {"GateVertShut", "Two"},
    {"GateVertOpen", "Two"},
    {"RedBall", "Two"},
    {"BonusMoney", "Two"},
    {"Money", "Two"},
    {"BonusLife", "Two"},
    {"1Up", "Two"},
    {"BonusSlow", "Two"},
    {"Slow", "Two"},
    {"BonusDouble", "Two"},
    {"Double", "Two"},
    {"BonusKillAll", "Two"},
    {"KillAll", "Two"},
    {"BonusKill", "Two"},
    {"OneKilled", "Two"},
    {"BonusKeyboard", "Two"},
    {"KeyboardChange", "Two"},
    {"BonusKey", "Two"},
    {"Key", "Two"},
    {"EnemyAppearence", "Four"},
    {"EnemyDeath", "Four"},
    {"BossAppearence", "Four"},
    {"BossDeath", "Four"},
    {"GhostAppearence", "Four"},
    {"GhostDeath", "Four"},
};

// Every monster kind walks with a picture per direction.
constexpr const char* kWalkers[] = {"Enemy", "Victim", "Boss", "Ghost"};
constexpr const char* kDirections[] = {"Up", "Right", "Down", "Left"};

constexpr const char* kSounds[] = {
    "EatDot",        "LevelComplete", "Death",        "Victim",      "GameOver",     "GameComplete",
    "BonusMoney",    "BonusLife",     "BonusSlow",    "BonusDouble", "BonusKillAll", "BonusKill",
    "BonusKeyboard", "BonusKey",      "RedBallEaten", "GateOpen",    "Button",       "PushButton",
};

}  // namespace

void LevelFixture::SetUp() {
    GameFixture::SetUp();
    WriteFile("Data/One.bmp", Bitmap(32, 32));
    WriteFile("Data/Two.bmp", Bitmap(64, 32));
    WriteFile("Data/Four.bmp", Bitmap(128, 32));
    std::string ini = "[General]\r\nTimer=10\r\n[Scene3]\r\n";
    for (const Picture& picture : kGamePictures) {
        ini += std::string(picture.name) + "=Data\\" + picture.file + ".bmp,32,32\r\n";
    }
    for (const char* walker : kWalkers) {
        for (const char* direction : kDirections)
            ini += std::string(walker) + direction + "=Data\\Two.bmp,32,32\r\n";
    }
    ini += "[Scene7]\r\nGameOver=Data\\Two.bmp,64,32\r\n[Scene8]\r\nGameComplete=Data\\Two.bmp,64,32\r\n";
    WriteFile("Munchora.ini", ini);
    for (const char* sound : kSounds) {
        form_->DXWaveList.Add(sound, std::make_shared<platform::Wave>(std::vector<uint8_t>{}));
    }
}

void LevelFixture::WriteLevel(int number, const std::string& general, const std::vector<std::string>& rows) {
    const std::string digits = (number < 10 ? "0" : "") + std::to_string(number);
    const int width = rows.empty() ? 0 : int(rows[0].size());
    const int height = int(rows.size());
    std::string text = "[General]\nMapWidth=" + std::to_string(width) +
                       "\nMapHeight=" + std::to_string(height) + "\n" + general + "\n[Map]\n";
    for (const std::string& row : rows) text += row + "\n";
    WriteFile("Levels/Level" + digits + ".map", text);
    // One pixel more than the maze, so the catalogue entry keeps the maze size as its pattern.
    WriteFile("Levels/Level" + digits + ".bmp", Bitmap(width * 32 + 1, height * 32 + 1));
}

void LevelFixture::EnterGame() { form_->SetScreenState(shell::scGame); }

actors::TPlayerSprite& LevelFixture::Player() {
    actors::TPlayerSprite* player = actors::FindPlayer();
    if (!player) throw std::runtime_error("no player");
    return *player;
}

void LevelFixture::Step(int steps) {
    for (int i = 0; i < steps; ++i) {
        form_->DXSpriteEngine.Move(1);
        form_->DXSpriteEngine.SweepDead();
    }
}

std::vector<engine::TSprite*> LevelFixture::SpritesWithImage(const std::string& name) {
    std::vector<engine::TSprite*> found;
    const platform::ImageEntry& image = form_->ImageList.Find(name);
    for (const auto& child : form_->DXSpriteEngine.Root()->Children()) {
        const auto* sprite = dynamic_cast<const engine::TImageSprite*>(child.get());
        if (sprite && sprite->Image == &image && !sprite->IsDead()) found.push_back(child.get());
    }
    return found;
}

}  // namespace testing_support
