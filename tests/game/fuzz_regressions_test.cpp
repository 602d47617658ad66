// Every input a fuzzer once crashed on, and the shipped files the fuzzers
// start from, through the same checks the fuzzers run.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "checks.h"

namespace {

namespace fs = std::filesystem;

using Check = const char* (*)(const uint8_t*, size_t);

const fs::path kSource = MUNCHORA_SOURCE_DIR;

std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The files of a directory, none when it is missing.
std::vector<fs::path> FilesIn(const fs::path& dir) {
    std::vector<fs::path> files;
    if (!fs::is_directory(dir)) return files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    return files;
}

void ExpectClean(Check check, const std::vector<fs::path>& files) {
    for (const fs::path& file : files) {
        const std::vector<uint8_t> bytes = Bytes(file);
        const char* failed = check(bytes.data(), bytes.size());
        EXPECT_EQ(failed, nullptr) << file << ": " << failed;
    }
}

// The saved inputs of one fuzzer; each fuzzer keeps at least one, so a
// moved or emptied directory does not pass unnoticed.
std::vector<fs::path> Regressions(const std::string& fuzzer) {
    std::vector<fs::path> files = FilesIn(kSource / "fuzz/regressions" / fuzzer);
    EXPECT_FALSE(files.empty()) << "no saved inputs in fuzz/regressions/" << fuzzer;
    return files;
}

TEST(FuzzRegressions, IniInputs) {
    std::vector<fs::path> files = Regressions("ini");
    files.push_back(kSource / "assets/Munchora.ini");
    ExpectClean(fuzz::CheckIni, files);
}

TEST(FuzzRegressions, LevelInputs) {
    std::vector<fs::path> files = Regressions("level");
    const std::vector<fs::path> levels = FilesIn(kSource / "assets/levels");
    ASSERT_FALSE(levels.empty());
    files.insert(files.end(), levels.begin(), levels.end());
    ExpectClean(fuzz::CheckLevel, files);
}

TEST(FuzzRegressions, LevelPackInputs) { ExpectClean(fuzz::CheckLevelPack, Regressions("level_pack")); }

TEST(FuzzRegressions, HighScoreInputs) {
    ExpectClean(fuzz::CheckHighScores, Regressions("highscore"));
    // A full table with a partial record after it, and a name length of 255.
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 7; ++i) {
        std::vector<uint8_t> record(40, 0);
        record[0] = i == 3 ? 255 : 3;
        record[24] = uint8_t(10 * i);  // ascending, so Insert has to sort
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    bytes.push_back('x');
    const char* failed = fuzz::CheckHighScores(bytes.data(), bytes.size());
    EXPECT_EQ(failed, nullptr) << failed;
}

TEST(FuzzRegressions, ReplayInputs) { ExpectClean(fuzz::CheckReplay, Regressions("replay")); }

}  // namespace
