#include "support/game_fixture.h"

#include <unistd.h>

#include <fstream>

#include "game/random.h"

namespace testing_support {

void GameFixture::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // The process id keeps two test runs at the same time (two builds) apart.
    dir_ = std::filesystem::temp_directory_path() /
           ("munchora_" + std::to_string(getpid()) + "_" + info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    game::ResetGlobals();
    game::RandSeed = 0;
    game::ProgramDir = dir_.string() + "/";
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
    game::SetRandomClock(nullptr);
    std::filesystem::remove_all(dir_);
}

platform::ImageEntry& GameFixture::AddImage(const std::string& name, int patterns, int w, int h) {
    std::vector<uint16_t> pixels(size_t(w) * patterns * h, 0xFFFF);
    auto picture = std::make_shared<platform::Picture>(w * patterns, h, std::move(pixels));
    platform::ImageEntry& entry = form_->ImageList.Add(name, picture);
    entry.SetPatternWidth(w);
    entry.SetPatternHeight(h);
    return entry;
}

void GameFixture::WriteFile(const std::string& relativePath, const std::string& contents) {
    const auto path = dir_ / relativePath;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
}

}  // namespace testing_support
