// A level set in one file: the shipped set goes through a pack and back to
// the same bytes, and a pack that is damaged or names a file a set may not
// hold is refused whole.
#include "game/level_sets.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/checksum.h"

namespace {

using formats::TPackEntry;
using formats::TPackFault;

const std::string kProgramDir = MUNCHORA_PROGRAM_DIR;

TEST(LevelSets, TheShippedSetRoundTripsByteForByte) {
    const auto shipped = game::ReadSetFiles(kProgramDir + "/Levels", kProgramDir + "/Music");
    ASSERT_GE(shipped.size(), 60u);  // 30 levels with their pictures, and the tunes
    EXPECT_EQ(game::CheckSetLevels(shipped), "");
    const std::vector<uint8_t> pack = formats::EncodeLevelPack(shipped);

    std::vector<TPackEntry> read;
    ASSERT_EQ(formats::DecodeLevelPack(pack, read), TPackFault::None);
    EXPECT_EQ(read, shipped);
    const std::string folder = testing::TempDir() + "munchora-set/Shipped";
    ASSERT_TRUE(game::WriteSetFolder(read, folder));
    EXPECT_EQ(formats::EncodeLevelPack(game::ReadSetFiles(folder, folder)), pack);
    std::filesystem::remove_all(testing::TempDir() + "munchora-set");
}

std::vector<uint8_t> Resealed(std::vector<uint8_t> pack) {
    const uint32_t crc = formats::Crc32(pack.data(), pack.size() - 4);
    for (int i = 0; i < 4; ++i) pack[pack.size() - 4 + size_t(i)] = uint8_t(crc >> (8 * i));
    return pack;
}

struct Damage {
    const char* what;
    std::vector<uint8_t> (*apply)(std::vector<uint8_t>);
    TPackFault fault;
};

class DamagedPack : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedPack, IsRefusedWhole) {
    const std::vector<TPackEntry> set = {{"Level01.map", {'a', 'b'}}, {"tune.mid", {'c'}}};
    std::vector<TPackEntry> read = {{"kept", {}}};
    EXPECT_EQ(formats::DecodeLevelPack(GetParam().apply(formats::EncodeLevelPack(set)), read),
              GetParam().fault);
    EXPECT_EQ(read.size(), 1u);
    EXPECT_FALSE(formats::DescribePackFault(GetParam().fault).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedPack,
    ::testing::Values(
        Damage{"cut short",
               [](std::vector<uint8_t> p) { return std::vector<uint8_t>(p.begin(), p.end() - 9); },
               TPackFault::Damaged},
        Damage{"a byte changed", [](std::vector<uint8_t> p) { return p[20] ^= 1, p; }, TPackFault::Damaged},
        Damage{"a name that leaves the folder",
               [](std::vector<uint8_t> p) {
                   p[12] = '.', p[13] = '.', p[14] = '/';  // "../el01.map"
                   return Resealed(p);
               },
               TPackFault::BadName},
        Damage{"an entry longer than the pack",
               [](std::vector<uint8_t> p) { return p[23] = 0x7F, Resealed(p); }, TPackFault::Damaged},
        Damage{"a million entries", [](std::vector<uint8_t> p) { return p[8] = 0x0F, Resealed(p); },
               TPackFault::TooLarge},
        Damage{"another version", [](std::vector<uint8_t> p) { return p[4] = 9, Resealed(p); },
               TPackFault::UnknownVersion},
        Damage{"no pack at all",
               [](std::vector<uint8_t>) {
                   return std::vector<uint8_t>{'G', 'I', 'F'};
               },
               TPackFault::NotAPack}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(LevelSets, OnlyTheNamesOfASetAreAccepted) {
    for (const char* good : {"Level01.map", "Level30.bmp", "Level120.mnr", "Theme-2_b.mid", "set.ini"})
        EXPECT_TRUE(formats::IsLevelSetFileName(good)) << good;
    for (const char* bad : {"../Level01.map", "Level1.map", "Level001.map", "level01.map", "Level01.exe",
                            "a/b.mid", ".mid", "Level01.map.", "", "x.ini"})
        EXPECT_FALSE(formats::IsLevelSetFileName(bad)) << bad;
}

}  // namespace
