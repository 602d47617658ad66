#include "formats/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

using formats::IniFile;
using formats::ParseIniInteger;

TEST(IniInteger, DecimalHexadecimalAndGarbage) {
    EXPECT_EQ(ParseIniInteger("42"), 42);
    EXPECT_EQ(ParseIniInteger("-5"), -5);
    EXPECT_EQ(ParseIniInteger("$1F"), 31);
    EXPECT_EQ(ParseIniInteger("0x1F"), 31);
    EXPECT_EQ(ParseIniInteger("0X10"), 16);
    EXPECT_EQ(ParseIniInteger("$FFFFFFFF"), -1);
    EXPECT_EQ(ParseIniInteger("0x"), std::nullopt);  // too short to be hexadecimal
    EXPECT_EQ(ParseIniInteger("12abc"), std::nullopt);
    EXPECT_EQ(ParseIniInteger(""), std::nullopt);
    EXPECT_EQ(ParseIniInteger("99999999999"), std::nullopt);
    EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
}

TEST(IniFile, NamesCompareWithoutCaseAndFirstWins) {
    const IniFile ini = IniFile::FromText(
        "[general]\r\nwavevolume = -300 \r\nWaveVolume=-400\r\n; Timer=3\r\n[Other]\r\nTimer=7\r\n");
    EXPECT_EQ(ini.ReadInteger("GENERAL", "WaveVolume", 0), -300);
    EXPECT_EQ(ini.ReadInteger("General", "Timer", 10), 10);  // comments and other sections don't count
    EXPECT_EQ(ini.ReadInteger("General", "Missing", 10), 10);
    EXPECT_EQ(ini.ReadString("Other", "timer", ""), "7");
    // A section name that comes again is listed once, where it came first.
    EXPECT_EQ(IniFile::FromText("[B]\n[a]\n[b]\nk=1\n").SectionNames(), (std::vector<std::string>{"B", "a"}));
}

TEST(IniFile, SectionKeysInFileOrderCutByTheBuffer) {
    const IniFile ini = IniFile::FromText("[S]\nAlpha=1\nBeta=2\nGamma=3\n");
    EXPECT_EQ(ini.ReadSectionKeys("s"), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    // Sixteen bytes hold "Alpha\0Beta\0Gam" and the two closing zeros.
    EXPECT_EQ(ini.ReadSectionKeys("S", 16), (std::vector<std::string>{"Alpha", "Beta", "Gam"}));
    EXPECT_TRUE(ini.ReadSectionKeys("Missing").empty());
}

TEST(IniFile, WritingKeepsEveryOtherLine) {
    const std::string text =
        "[General]\r\nWaveVolume=-5000\r\n\r\n[Scene1]\r\nIntro=Data\\Intro.bmp,800,600\r\n";
    IniFile ini = IniFile::FromText(text);
    ini.WriteInteger("general", "WAVEVOLUME", -3000);
    ini.WriteInteger("General", "Timer", 20);
    ini.WriteString("New", "Key", "v");
    EXPECT_EQ(ini.ToText(),
              "[General]\r\nWaveVolume=-3000\r\nTimer=20\r\n\r\n[Scene1]\r\nIntro=Data\\Intro.bmp,800,600\r\n"
              "\r\n[New]\r\nKey=v\r\n");
}

TEST(IniFile, MissingFileIsEmptyAndUnreadableIsAFailure) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("munchora_ini_test_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "Munchora.ini");  // a directory in its place
    EXPECT_FALSE(IniFile::Load((dir / "Munchora.ini").string()).has_value());
    const auto missing = IniFile::Load((dir / "absent.ini").string());
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->ReadInteger("General", "Timer", 10), 10);
    std::filesystem::remove_all(dir);
}

TEST(IniFile, SaveReplacesTheFileAndFailureLeavesItIntact) {
    const auto dir =
        std::filesystem::temp_directory_path() / ("munchora_ini_save_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto path = (dir / "Munchora.ini").string();
    std::ofstream(path) << "[General]\nTimer=5\n";
    IniFile ini = *IniFile::Load(path);
    ini.WriteInteger("General", "Timer", 30);
    ASSERT_TRUE(ini.Save(path));
    EXPECT_EQ(IniFile::Load(path)->ReadInteger("General", "Timer", 0), 30);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_FALSE(ini.Save((dir / "no-such-dir" / "x.ini").string()));
    std::filesystem::remove_all(dir);
}
