#include "game/high_scores.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/temp_dir.h"

using namespace game;

namespace {

namespace fs = std::filesystem;

THighScoreRecord Rec(const std::string& name, int32_t score) { return {name, score, 0, 0, 0}; }

std::vector<int32_t> Scores(const THighScoresCollection& table) {
    std::vector<int32_t> scores;
    for (int32_t i = 0; i < table.Count; ++i) scores.push_back(table.Entries[size_t(i)].Score);
    return scores;
}

std::string Names(const THighScoresCollection& table) {
    std::string names;
    for (int32_t i = 0; i < table.Count; ++i) names += table.Entries[size_t(i)].Name;
    return names;
}

THighScoresCollection Table(std::initializer_list<int32_t> scores) {
    THighScoresCollection table;
    char name = 'a';
    for (int32_t s : scores) table.Insert(Rec(std::string(1, name++), s));
    return table;
}

TEST(HighScoreTable, AppendsAndSortsWhileNotFull) {
    THighScoresCollection table = Table({900, 300});
    EXPECT_TRUE(table.Qualifies(0));
    table.Insert(Rec("x", 500));
    EXPECT_EQ(Scores(table), (std::vector<int32_t>{900, 500, 300}));
}

TEST(HighScoreTable, FullTableKeepsTheSevenBest) {
    THighScoresCollection table = Table({7000, 6000, 5000, 4000, 3000, 2000, 1000});
    EXPECT_FALSE(table.Qualifies(1000));
    EXPECT_TRUE(table.Qualifies(1001));
    table.Insert(Rec("x", 1001));
    EXPECT_EQ(Scores(table), (std::vector<int32_t>{7000, 6000, 5000, 4000, 3000, 2000, 1001}));
    table.Insert(Rec("y", 999));
    EXPECT_EQ(Names(table), "abcdefx");
}

TEST(HighScoreTable, EqualScoresGoAfterTheirEquals) {
    THighScoresCollection table = Table({900, 800, 500, 500, 400, 300, 200});
    table.Insert(Rec("x", 500));
    EXPECT_EQ(Names(table), "abcdxef");

    THighScoresCollection equal = Table({500, 500, 500, 500, 500, 500, 500});
    EXPECT_FALSE(equal.Qualifies(500));
    equal.Insert(Rec("x", 500));
    EXPECT_EQ(Names(equal), "abcdefg");
}

TEST(HighScoreTable, ExchangeSortOrder) {
    THighScoresCollection table;
    table.Insert(Rec("a", 5));
    table.Insert(Rec("b", 5));
    table.Insert(Rec("c", 7));
    EXPECT_EQ(Names(table), "cba");
}

class HighScoreFile : public TempDirTest {
protected:
    void SetUp() override {
        TempDirTest::SetUp();
        path_ = (dir_ / "Munchora.hsc").string();
    }

    std::vector<uint8_t> ReadBack() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void WriteBytes(const std::vector<uint8_t>& bytes) const {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    // A file record with the given name length byte, name and score.
    static std::vector<uint8_t> Record(uint8_t length, const std::string& name, uint8_t score) {
        std::vector<uint8_t> r(40, 0);
        r[0] = length;
        std::copy(name.begin(), name.end(), r.begin() + 1);
        r[24] = score;
        return r;
    }

    std::string path_;
};

TEST_F(HighScoreFile, RoundTripWithTheExactLayout) {
    THighScoresCollection table;
    table.Insert({"Anna", 300, 2, 3, 4});
    table.Insert({"ABCDEFGHIJKLMNOPQRSTUVWXY", -2, 258, -1, 16777216});  // 25 characters
    EXPECT_EQ(table.Entries[1].Name, "ABCDEFGHIJKLMNOPQRST");
    ASSERT_TRUE(table.Save(path_));

    const std::vector<uint8_t> bytes = ReadBack();
    ASSERT_EQ(bytes.size(), 80u);
    std::vector<uint8_t> first(40, 0);
    first[0] = 4;
    first[1] = 'A', first[2] = 'n', first[3] = 'n', first[4] = 'a';
    first[24] = 0x2C, first[25] = 0x01;  // 300
    first[28] = 2, first[32] = 3, first[36] = 4;
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 40), first);
    const std::vector<uint8_t> numbers(bytes.begin() + 64, bytes.end());
    EXPECT_EQ(numbers, (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0x02, 0x01, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF,
                                             0, 0, 0, 1}));
    EXPECT_EQ(bytes[40], 20);

    THighScoresCollection loaded = Table({1, 2, 3, 4, 5});
    ASSERT_TRUE(loaded.Load(path_));
    ASSERT_EQ(loaded.Count, 2);
    EXPECT_EQ(loaded.Entries[0].Name, "Anna");
    EXPECT_EQ(loaded.Entries[0].Level, 4);
    EXPECT_EQ(loaded.Entries[1].Name, "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(loaded.Entries[1].Score, -2);
    EXPECT_EQ(loaded.Entries[1].Monsters, 258);
    EXPECT_EQ(loaded.Entries[1].Bonuses, -1);
    EXPECT_EQ(loaded.Entries[1].Level, 16777216);

    THighScoresCollection empty;
    ASSERT_TRUE(empty.Save(path_));
    EXPECT_TRUE(ReadBack().empty());
}

TEST_F(HighScoreFile, DamagedFilesAreReadSafely) {
    std::vector<uint8_t> bytes;
    for (uint8_t i = 1; i <= 9; ++i) {
        const auto r = Record(1, std::string(1, char('0' + i)), i);
        bytes.insert(bytes.end(), r.begin(), r.end());
    }
    WriteBytes(bytes);
    THighScoresCollection table;
    ASSERT_TRUE(table.Load(path_));
    EXPECT_EQ(Names(table), "1234567");
    EXPECT_EQ(Scores(table), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7}));

    // Two whole records and a partial one; a length byte of 255.
    bytes = Record(255, "abcdefghijklmnopqrstuvw", 9);
    const auto second = Record(2, "zz", 8);
    bytes.insert(bytes.end(), second.begin(), second.end());
    bytes.insert(bytes.end(), 20, 0x41);
    WriteBytes(bytes);
    ASSERT_TRUE(table.Load(path_));
    ASSERT_EQ(table.Count, 2);
    EXPECT_EQ(table.Entries[0].Name, "abcdefghijklmnopqrst");
    EXPECT_EQ(table.Entries[0].Score, 9);
    EXPECT_EQ(table.Entries[1].Name, "zz");
}

TEST_F(HighScoreFile, UnreadableOrUnwritableFilesChangeNothing) {
    THighScoresCollection table = Table({300, 200});
    EXPECT_FALSE(table.Load((dir_ / "absent.hsc").string()));
    EXPECT_EQ(Scores(table), (std::vector<int32_t>{300, 200}));

    EXPECT_FALSE(table.Save((dir_ / "missing" / "Munchora.hsc").string()));
    EXPECT_FALSE(fs::exists(dir_ / "missing"));

    // A directory where the file should be: the save fails and the directory
    // with its contents stays.
    fs::create_directories(fs::path(path_) / "inner");
    EXPECT_FALSE(table.Save(path_));
    EXPECT_TRUE(fs::is_directory(fs::path(path_) / "inner"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);  // no temporary left
}

}  // namespace
