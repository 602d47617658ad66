#include "program/settings_place.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SettingsPlace, ReadOnlyProgramDirectorySendsThemToTheUser) {
    const fs::path base = fs::temp_directory_path() / ("munchora_settings_place_" + std::to_string(getpid()));
    fs::remove_all(base);
    fs::create_directories(base / "program");
    std::ofstream(base / "program" / "Munchora.ini") << "[General]\nTimer=7\n";
    const std::string program = (base / "program").string() + "/";
    const std::string user = (base / "user" / "munchora").string() + "/";

    EXPECT_TRUE(program::CanWriteInto(program));
    EXPECT_FALSE(program::CanWriteInto((base / "absent").string() + "/"));
    EXPECT_EQ(program::ChooseSettingsDirectory(program, user, true), program);
    EXPECT_FALSE(fs::exists(base / "user"));

    EXPECT_EQ(program::ChooseSettingsDirectory(program, user, false), user);
    EXPECT_EQ(Read(base / "user" / "munchora" / "Munchora.ini"), "[General]\nTimer=7\n");
    // The user's own settings are never replaced by the shipped ones.
    std::ofstream(base / "user" / "munchora" / "Munchora.ini") << "[General]\nTimer=30\n";
    program::ChooseSettingsDirectory(program, user, false);
    EXPECT_EQ(Read(base / "user" / "munchora" / "Munchora.ini"), "[General]\nTimer=30\n");
    fs::remove_all(base);
}

TEST(SettingsPlace, ProgramDirectoryIsTheBuildOrTheInstalledData) {
    const fs::path base = fs::temp_directory_path() / ("munchora_program_dir_" + std::to_string(getpid()));
    fs::remove_all(base);
    fs::create_directories(base / "libexec" / "munchora");
    fs::create_directories(base / "share" / "munchora");
    const std::string executable = (base / "libexec" / "munchora").string() + "/";
    const std::string installed = (base / "share" / "munchora").string() + "/";

    // Neither place has the settings: the executable's own directory, so
    // reading them reports the file that is missing there.
    EXPECT_EQ(program::FindProgramDirectory(executable, "../../share/munchora/"), executable);
    std::ofstream(base / "share" / "munchora" / "Munchora.ini") << "[General]\n";
    EXPECT_EQ(program::FindProgramDirectory(executable, "../../share/munchora/"), installed);
    EXPECT_EQ(program::FindProgramDirectory(executable, "../../share/munchora"), installed);
    // A build directory holds its own settings and wins.
    std::ofstream(base / "libexec" / "munchora" / "Munchora.ini") << "[General]\n";
    EXPECT_EQ(program::FindProgramDirectory(executable, "../../share/munchora/"), executable);
    fs::remove_all(base);
}

}  // namespace
