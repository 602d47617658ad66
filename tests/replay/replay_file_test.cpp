// Replay files: every field read back as written, damage and other
// versions told apart, the high-score place as the table would give it, and
// digests that change with the levels and the catalogue but not with the
// settings.
#include "replay/replay_file.h"

#include <gtest/gtest.h>

#include "game/temp_dir.h"
#include "replay/event_record.h"

namespace {

using namespace game;
using namespace replay;

TReplay SampleReplay() {
    TReplay replay;
    TReplayStart& s = replay.Start;
    s.RecordedAt = 1767225600;
    s.LevelsDigest = 0x0123456789ABCDEFull;
    s.CatalogueDigest = 0xFEDCBA9876543210ull;
    s.Game.GameType = gtClassic;
    s.FrameInterval = 12;
    s.Game.StartOptions.Debug = true;
    s.Game.StartOptions.NoSound = true;
    s.Game.RandSeed = 0xDEADBEEF;
    s.Game.CurrentLevel = 6;
    s.Game.Lives = 2;
    s.Game.Player.Score = 12340;
    s.Game.Player.Monsters = 17;
    s.Game.Player.Bonuses = 3;
    s.Game.Player.Level = 6;
    s.Game.LastKey = 'X';
    s.MainTickCount = -5;
    s.InputStates = 4;
    s.InputSuppressed = 16;
    s.MessageText = "Password: ABC";
    s.MessageFrames = 77;
    s.StartKey = 13;
    s.StartShift = 1;
    s.StartTime = 4000000000u;
    EventWriter events(s.StartTime, s.FrameInterval);
    events.Frame(s.StartTime + 12, 1u, true);
    events.Key(s.StartTime + 20, 'P', 0);
    replay.Events = events.Bytes();
    replay.Result = {TGameEnd::GameOver, 15000, 9, 0, 25, 4, 9, 2, {20000, 14000, 100}};
    replay.Entry = {true, "Twenty letters long!", 15000, 1767229200};
    return replay;
}

TEST(ReplayFile, ReadsBackEveryField) {
    const TReplay written = SampleReplay();
    TReplay read;
    ASSERT_EQ(DecodeReplay(EncodeReplay(written), read), TReplayFault::None);
    const TReplayStart& a = written.Start;
    const TReplayStart& b = read.Start;
    EXPECT_EQ(b.RecordedAt, a.RecordedAt);
    EXPECT_EQ(b.LevelsDigest, a.LevelsDigest);
    EXPECT_EQ(b.CatalogueDigest, a.CatalogueDigest);
    const TGameState& ga = a.Game;
    const TGameState& gb = b.Game;
    EXPECT_EQ(gb.GameType, ga.GameType);
    EXPECT_EQ(b.FrameInterval, a.FrameInterval);
    EXPECT_EQ(std::make_tuple(gb.StartOptions.Debug, gb.StartOptions.NoMidi, gb.StartOptions.NoSound),
              std::make_tuple(true, false, true));
    EXPECT_EQ(gb.RandSeed, ga.RandSeed);
    EXPECT_EQ(std::make_tuple(gb.CurrentLevel, gb.Lives, gb.Player.Score, gb.Player.Monsters,
                              gb.Player.Bonuses, gb.Player.Level),
              std::make_tuple(ga.CurrentLevel, ga.Lives, ga.Player.Score, ga.Player.Monsters,
                              ga.Player.Bonuses, ga.Player.Level));
    EXPECT_EQ(gb.LastKey, ga.LastKey);
    EXPECT_EQ(b.MainTickCount, a.MainTickCount);
    EXPECT_EQ(std::make_tuple(b.InputStates, b.InputSuppressed),
              std::make_tuple(a.InputStates, a.InputSuppressed));
    EXPECT_EQ(b.MessageText, a.MessageText);
    EXPECT_EQ(b.MessageFrames, a.MessageFrames);
    EXPECT_EQ(std::make_tuple(b.StartKey, b.StartShift, b.StartTime),
              std::make_tuple(a.StartKey, a.StartShift, a.StartTime));
    EXPECT_EQ(read.Events, written.Events);
    EXPECT_EQ(read.Result, written.Result);
    EXPECT_TRUE(read.Entry.Present);
    EXPECT_EQ(read.Entry.Name, written.Entry.Name);
    EXPECT_EQ(read.Entry.Score, written.Entry.Score);
    EXPECT_EQ(read.Entry.Date, written.Entry.Date);
    EXPECT_FALSE(read.Online.Present());
}

// An online game is written as version 2 with its play; an offline one stays
// version 1, byte for byte as before.
TEST(ReplayFile, AnOnlineGameKeepsItsTokenAndPlayer) {
    TReplay online = SampleReplay();
    const std::vector<uint8_t> offline = EncodeReplay(online);
    online.Online = {"1765000000000.abc.def", "ANN", "0123456789abcdef"};
    const std::vector<uint8_t> bytes = EncodeReplay(online);
    EXPECT_EQ(offline[8], kReplayVersion);
    EXPECT_EQ(bytes[8], kOnlineReplayVersion);
    TReplay read;
    ASSERT_EQ(DecodeReplay(bytes, read), TReplayFault::None);
    EXPECT_EQ(read.Online, online.Online);
    EXPECT_EQ(read.Result, online.Result);
}

TEST(ReplayFile, DamageAndOtherVersionsAreToldApart) {
    const std::vector<uint8_t> good = EncodeReplay(SampleReplay());
    TReplay read;

    std::vector<uint8_t> other = good;
    other[0] = 'X';
    EXPECT_EQ(DecodeReplay(other, read), TReplayFault::NotAReplay);
    EXPECT_EQ(DecodeReplay({}, read), TReplayFault::NotAReplay);

    other = good;
    other[8] = kOnlineReplayVersion + 1;
    EXPECT_EQ(DecodeReplay(other, read), TReplayFault::UnknownVersion);
    // A file that says it was played online but holds no online play.
    other = good;
    other[8] = kOnlineReplayVersion;
    const std::vector<uint8_t> unfinished(other.begin(), other.end() - 4);
    EXPECT_EQ(DecodeReplayFields(unfinished.data(), unfinished.size(), read), TReplayFault::Damaged);

    // A changed byte anywhere after the version, and every cut.
    for (size_t i = 10; i < good.size(); ++i) {
        other = good;
        other[i] ^= 0x20;
        EXPECT_EQ(DecodeReplay(other, read), TReplayFault::Damaged) << "byte " << i;
    }
    for (size_t cut = 8; cut < good.size(); ++cut) {
        const std::vector<uint8_t> part(good.begin(), good.begin() + cut);
        EXPECT_NE(DecodeReplay(part, read), TReplayFault::None) << "cut at " << cut;
    }

    // Fields that do not fit are refused behind a good checksum too.
    const std::vector<uint8_t> body(good.begin(), good.end() - 4);
    other = body;
    other[10 + 5 + 8 + 8] = 7;  // the game type, after the date (five bytes) and the digests
    EXPECT_EQ(DecodeReplayFields(other.data(), other.size(), read), TReplayFault::Damaged);
    EXPECT_EQ(DecodeReplayFields(body.data(), body.size(), read), TReplayFault::None);
}

TEST(ReplayFile, HighScorePlaceIsWhereTheTableWouldPutIt) {
    EXPECT_EQ(HighScoreRank({}, 0), 1);
    EXPECT_EQ(HighScoreRank({500, 300}, 400), 2);
    EXPECT_EQ(HighScoreRank({500, 300}, 300), 3);  // after its equals
    const std::vector<int32_t> full = {70, 60, 50, 40, 30, 20, 10};
    EXPECT_EQ(HighScoreRank(full, 45), 4);
    EXPECT_EQ(HighScoreRank(full, 10), 0);  // a full table keeps out an equal of its last
    EXPECT_EQ(HighScoreRank(full, 5), 0);
}

class ReplayDigestTest : public TempDirTest {
protected:
    std::string Dir() const { return dir_.string() + "/"; }
    void Put(const std::string& name, const std::string& text) {
        std::filesystem::create_directories((dir_ / name).parent_path());
        Write(name, text);
    }
};

TEST_F(ReplayDigestTest, FollowLevelsTunesAndCatalogueButNotTheSettings) {
    Put("Levels/Level01.map", "[General]\nName=One\n[Map]\nA\n");
    Put("Music/01.mid", "x");
    Put("Munchora.ini",
        "[General]\nTimer=10\n[Scene3]\nPlayer=Data\\P.bmp,32,32\n[Sounds]\nEat=Data\\E.wav\n");
    const uint64_t levels = LevelsDigest(Dir());
    const uint64_t catalogue = CatalogueDigest(Dir());

    Put("Munchora.ini",
        "[General]\nTimer=20\nFullScreen=1\n[Scene3]\nPlayer=Data\\P.bmp,32,32\n[Sounds]\nEat=Data\\E.wav\n");
    EXPECT_EQ(CatalogueDigest(Dir()), catalogue);
    Put("Munchora.ini",
        "[General]\nTimer=20\n[Scene3]\nPlayer=Data\\P.bmp,30,32\n[Sounds]\nEat=Data\\E.wav\n");
    EXPECT_NE(CatalogueDigest(Dir()), catalogue);

    Put("Music/02.mid", "y");  // a tune more to draw from
    const uint64_t withTune = LevelsDigest(Dir());
    EXPECT_NE(withTune, levels);
    Put("Levels/Level01.map", "[General]\nName=One\n[Map]\nC\n");
    EXPECT_NE(LevelsDigest(Dir()), withTune);
    EXPECT_EQ(CatalogueDigest(Dir() + "missing/"), CatalogueDigest(Dir() + "missing-too/"));
}

}  // namespace
