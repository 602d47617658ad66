#include "support/fake_services.h"

#include "engine/image_sprite.h"
#include "formats/errors.h"
#include "platform/platform.h"
#include "support/program_fixture.h"

namespace testing_support {

FakeServices::FakeServices() { game::InstallServices(this); }

FakeServices::~FakeServices() { game::RemoveServices(this); }

const media::ImageEntry* FakeServices::ReplaceImage(const std::string& entry) {
    const size_t equals = entry.find('=');
    const size_t comma = entry.find(',');
    const std::string name = entry.substr(0, equals);
    const int width = std::stoi(entry.substr(comma + 1));
    const int height = std::stoi(entry.substr(entry.find(',', comma + 1) + 1));
    if (const int old = images_.IndexOf(name); old >= 0) images_.Delete(old);
    return &AddTestImage(images_, name, 1, width, height);
}

engine::TImageSprite* FakeServices::AddCenteredImage(const std::string& imageName, int z) {
    const media::ImageEntry& image = images_.Find(imageName);
    auto* sprite = new engine::TImageSprite(sprites_.Root());
    sprite->Image = &image;
    sprite->Width = image.PatternWidth();
    sprite->Height = image.PatternHeight();
    sprite->X = (platform::kDisplayWidth - sprite->Width) / 2;
    sprite->Y = (platform::kDisplayHeight - sprite->Height) / 2;
    sprite->SetZ(z);
    return sprite;
}

void FakeServices::PlaySound(const std::string& soundName) {
    if (!sounds_.count(soundName)) throw formats::GameError("Wave '" + soundName + "' not found");
    log_ << "sound " << soundName << "\n";
}

void FakeServices::ShowOnMessageLine(const std::string& text, uint32_t milliseconds) {
    MessageText = text;
    MessageMs = milliseconds;
}

}  // namespace testing_support
