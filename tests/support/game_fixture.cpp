#include "support/game_fixture.h"

#include "shell/boot.h"

namespace testing_support {

void GameFixture::SetUp() {
    ProgramFixture::SetUp();
    platform::HeadlessBackend::Options options;
    options.eventLog = &events_;
    options.dataDirectory = dir_.string();
    machine_ = std::make_unique<platform::HeadlessBackend>(std::move(options));
    media_ = std::make_unique<platform::Platform>(*machine_);
    // The fixture's program directory and words, and a window the test shows itself.
    shell::TBootOptions boot;
    boot.programDir = game::Setup.ProgramDir;
    boot.settingsDir = game::Setup.SettingsDir;
    boot.startOptions = game::State.StartOptions;
    boot.show = false;
    form_ = shell::Boot(*media_, boot);
}

void GameFixture::TearDown() {
    form_.reset();
    media_.reset();
    machine_.reset();
    ProgramFixture::TearDown();
}

media::ImageEntry& GameFixture::AddImage(const std::string& name, int patterns, int w, int h) {
    return AddTestImage(Probe().Images(), name, patterns, w, h);
}

}  // namespace testing_support
