#include "support/level_fixture.h"

#include <stdexcept>

#include "engine/image_sprite.h"
#include "support/bmp.h"

namespace testing_support {

void LevelFixture::SetUp() {
    GameFixture::SetUp();
    const char* files[] = {nullptr, "One", "Two", nullptr, "Four", nullptr, nullptr, nullptr, "Eight"};
    WriteFile("Data/One.bmp", Bitmap(32, 32));
    WriteFile("Data/Two.bmp", Bitmap(64, 32));
    WriteFile("Data/Four.bmp", Bitmap(128, 32));
    WriteFile("Data/Eight.bmp", Bitmap(256, 32));
    std::string ini = "[General]\r\nTimer=10\r\n[Scene3]\r\n";
    for (const TestPicture& picture : GameScreenPictures()) {
        ini += picture.name + "=Data\\" + files[picture.patterns] + ".bmp,32,32\r\n";
    }
    ini += "[Scene7]\r\nGameOver=Data\\Two.bmp,64,32\r\n[Scene8]\r\nGameComplete=Data\\Two.bmp,64,32\r\n";
    WriteFile("Munchora.ini", ini);
    for (const std::string& sound : GameScreenSounds()) {
        Probe().Sounds().Add(sound, std::make_shared<media::Wave>(std::vector<uint8_t>{}));
    }
}

void LevelFixture::EnterGame() { form_->SetScreenState(shell::scGame); }

actors::TPlayerSprite& LevelFixture::Player() {
    actors::TPlayerSprite* player = actors::FindPlayer();
    if (!player) throw std::runtime_error("no player");
    return *player;
}

void LevelFixture::Step(int steps) {
    for (int i = 0; i < steps; ++i) {
        form_->Sprites().Move(1);
        form_->Sprites().SweepDead();
    }
}

std::vector<engine::TSprite*> LevelFixture::SpritesWithImage(const std::string& name) {
    std::vector<engine::TSprite*> found;
    const media::ImageEntry& image = Probe().Images().Find(name);
    for (const auto& child : form_->Sprites().Root()->Children()) {
        const auto* sprite = dynamic_cast<const engine::TImageSprite*>(child.get());
        if (sprite && sprite->Image == &image && !sprite->IsDead()) found.push_back(child.get());
    }
    return found;
}

}  // namespace testing_support
