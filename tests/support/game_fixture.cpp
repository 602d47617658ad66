#include "support/game_fixture.h"

#include "game/random.h"

namespace testing_support {

void GameFixture::SetUp() {
    ProgramFixture::SetUp();
    platform::HeadlessPlatform::Options options;
    options.eventLog = &events_;
    options.dataDirectory = dir_.string();
    media_ = std::make_unique<platform::HeadlessPlatform>(std::move(options));
    game::SetRandomClock([this] { return media_->UtcMillisOfDay(); });
    form_ = std::make_unique<shell::TMainForm>(*media_);
}

void GameFixture::TearDown() {
    form_.reset();
    media_.reset();
    ProgramFixture::TearDown();
}

media::ImageEntry& GameFixture::AddImage(const std::string& name, int patterns, int w, int h) {
    return AddTestImage(form_->ImageList, name, patterns, w, h);
}

}  // namespace testing_support
