// A fresh program directory under the system's temporary directory, with
// the game's global values as at start, for tests that run game code.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "media/image_list.h"

namespace testing_support {

class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file below the program directory, making its directories.
    void WriteFile(const std::string& relativePath, const std::string& contents);
    // Levels/LevelNN.map from [General] lines and map rows (the size is taken
    // from the rows), with its background picture.
    void WriteLevel(int number, const std::string& general, const std::vector<std::string>& rows);

    std::filesystem::path dir_;
};

// A picture of `patterns` patterns of w x h in one row, every pixel set,
// added to the catalogue.
media::ImageEntry& AddTestImage(media::ImageList& images, const std::string& name, int patterns, int w,
                                int h);

// The catalogue names of the game screen's pictures with their number of
// 32 x 32 patterns, as the tests' small levels use them.
struct TestPicture {
    std::string name;
    int patterns;
};
std::vector<TestPicture> GameScreenPictures();

// The sounds the game screen plays.
const std::vector<std::string>& GameScreenSounds();

}  // namespace testing_support
