// The record of what the platform hands the game: its bytes read back as
// written, damaged bytes stop the reader, and a recorded run played back
// hands a second game the very same calls, times, input states and clock
// readings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "platform/headless/script.h"
#include "replay/event_record.h"
#include "replay/player.h"
#include "replay/recorder.h"

namespace {

using namespace platform;
using namespace replay;

std::vector<RecordedEvent> ReadAll(const std::vector<uint8_t>& bytes, uint32_t start, uint32_t step,
                                   bool* failed = nullptr) {
    EventReader reader(bytes.data(), bytes.size(), start, step);
    std::vector<RecordedEvent> events;
    while (const RecordedEvent* event = reader.Peek()) {
        events.push_back(*event);
        reader.Pop();
    }
    if (failed) *failed = reader.Failed();
    return events;
}

TEST(EventRecord, ReadsBackWhatWasWritten) {
    EventWriter writer(5000, 10);
    for (uint32_t t = 5010; t <= 5100; t += 10) writer.Frame(t, 0u, false);  // one run of ten
    writer.Timer(5103, 1);
    writer.Frame(5110, isLeft, true);
    writer.Key(5108, 'Y', kShift | kCtrl);  // keys may come earlier than the frame before
    writer.Input(isLeft, false);
    writer.Input(isButton1, true);
    writer.Clock(kMillisPerDay - 1);
    writer.Frame(5127, std::nullopt, false);  // a new step, no reading first
    writer.Frame(5144, isButton1, false);     // the new step holds
    writer.Plain(EventKind::Deactivate, 5150);
    writer.Plain(EventKind::Activate, 6150);
    writer.Plain(EventKind::MusicEnd, 6150);
    const platform::NetworkReply reply{300, 2, 201, std::string("{\"rank\":1}\0x", 13)};
    writer.Reply(6150, reply);
    writer.Plain(EventKind::Close, 6151);

    const std::vector<RecordedEvent> events = ReadAll(writer.Bytes(), 5000, 10);
    ASSERT_EQ(events.size(), 23u);
    EXPECT_EQ(events[21].kind, EventKind::Reply);
    EXPECT_EQ(events[21].reply, reply);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(events[i].kind, EventKind::Frame);
        EXPECT_EQ(events[i].time, 5010u + 10u * i);
        EXPECT_TRUE(events[i].inputFolded);
        EXPECT_FALSE(events[i].maskChanged);
    }
    EXPECT_EQ(events[10].kind, EventKind::Timer);
    EXPECT_EQ(events[10].timer, 1);
    EXPECT_EQ(events[10].time, 5103u);
    EXPECT_EQ(events[11].time, 5110u);
    EXPECT_TRUE(events[11].maskChanged);
    EXPECT_EQ(events[11].mask, uint32_t(isLeft));
    EXPECT_EQ(events[12].kind, EventKind::Key);
    EXPECT_EQ(events[12].time, 5108u);
    EXPECT_EQ(events[12].key, 'Y');
    EXPECT_EQ(events[12].shift, kShift | kCtrl);
    EXPECT_EQ(events[13].kind, EventKind::Input);
    EXPECT_FALSE(events[13].maskChanged);
    EXPECT_TRUE(events[14].maskChanged);
    EXPECT_EQ(events[14].mask, uint32_t(isButton1));
    EXPECT_EQ(events[15].kind, EventKind::Clock);
    EXPECT_EQ(events[15].clock, kMillisPerDay - 1);
    EXPECT_EQ(events[16].time, 5127u);
    EXPECT_FALSE(events[16].inputFolded);
    EXPECT_EQ(events[17].time, 5144u);
    EXPECT_TRUE(events[17].inputFolded);
    EXPECT_EQ(events[18].kind, EventKind::Deactivate);
    EXPECT_EQ(events[19].kind, EventKind::Activate);
    EXPECT_EQ(events[19].time, 6150u);
    EXPECT_EQ(events[20].kind, EventKind::MusicEnd);
    EXPECT_EQ(events[22].kind, EventKind::Close);
    EXPECT_EQ(events[22].time, 6151u);
}

TEST(EventRecord, PlainFramesCostAByteForSixtyFour) {
    EventWriter writer(0, 10);
    for (uint32_t t = 10; t <= 6400; t += 10) writer.Frame(t, 0u, false);
    EXPECT_EQ(writer.Bytes().size(), 10u);
    writer.Frame(6410, 0u, false);
    EXPECT_EQ(writer.Bytes().size(), 11u);
    EXPECT_EQ(ReadAll(writer.Bytes(), 0, 10).size(), 641u);
}

TEST(EventRecord, DamagedBytesStopTheReader) {
    EventWriter writer(0, 10);
    writer.Frame(10, isUp, true);
    writer.Key(12, 'A', 0);
    writer.Clock(1234567);
    const std::vector<uint8_t> whole = writer.Bytes();
    ASSERT_TRUE(EventsAreWhole(whole, 0, 10));
    // Every cut inside a record is noticed.
    for (size_t cut = 1; cut < whole.size(); ++cut) {
        const std::vector<uint8_t> part(whole.begin(), whole.begin() + cut);
        bool failed = false;
        ReadAll(part, 0, 10, &failed);
        const bool atRecordEnd = cut == 2 || cut == 6;  // after the frame, after the key
        EXPECT_EQ(failed, !atRecordEnd) << "cut at " << cut;
    }
    const std::vector<std::vector<uint8_t>> bad = {
        {0xFF},                                // no such record
        {0x46, 0x01},                          // a changed reading in a frame that read none
        {0x90, 0x00, 0x41, 0x08},              // a shift state beyond Shift, Alt and Ctrl
        {0xA2, 0x80, 0xB4, 0xE6, 0x29},        // 86,400,000 ms: past the day
        {0xA1, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F},  // more than 32 bits
        {0x90, 0x00, 0x80, 0x80, 0x04, 0x00},  // a key code beyond 16 bits
    };
    for (const auto& bytes : bad) EXPECT_FALSE(EventsAreWhole(bytes, 0, 10)) << int(bytes[0]);
}

// ---- a recorded run played back --------------------------------------------

// A stand-in for the game: it writes down every call it gets while a
// recording or a playback runs, with the time it sees, the input states it
// reads and the clock it asks for. R starts a recording, S ends it, I reads
// the input states inside a key handler.
class Probe : public AppEvents, public PlaybackListener {
public:
    explicit Probe(Platform& media) : media_(media), recorder_(media), player_(media) {
        IntervalTimer& main = media_.CreateTimer([this] { Note("main"); });
        main.SetInterval(100, 0);
        main.SetEnabled(true, 0);
        mainTimer = &main;
        IntervalTimer& other = media_.CreateTimer([this] { Note("other"); });
        other.SetInterval(35, 0);
        other.SetEnabled(true, 0);
        media_.Clock().SetInterval(10);
        media_.Clock().SetEnabled(true);
    }

    void OnFrame() override {
        media_.UpdateInput();
        Note("frame " + std::to_string(media_.Input().States()));
        if (media_.TickCount() % 70 == 0) Note("clock " + std::to_string(media_.UtcMillisOfDay()));
    }
    void OnKeyDown(uint16_t key, ShiftState shift) override {
        if (key == 'R' && !recorder_.Recording() && !media_.Playing()) {
            recorder_.Start();
            startTime = recorder_.StartTime();
            AfterStart();
            return;
        }
        Note("key " + std::to_string(key) + "/" + std::to_string(shift));
        for (int i = 0; i < (key == 'I' ? 1 + extraReads : 0); ++i) {
            media_.UpdateInput();
            Note("read " + std::to_string(media_.Input().States()));
        }
        if (key == 'S' && recorder_.Recording()) {
            bytes = recorder_.Stop();
            media_.Quit();
        }
    }
    void OnActivate() override { Note("activate"); }
    void OnDeactivate() override { Note("deactivate"); }
    void OnMusicEnd() override { Note("music end"); }
    void OnCloseButton() override {
        Note("close");
        if (recorder_.Recording()) bytes = recorder_.Stop();
        media_.Quit();
    }
    void OnWatcherKey(uint16_t key, ShiftState) override { watcherKeys.push_back(key); }
    void OnPlaybackEnd(PlaybackEnd end) override {
        ended = end;
        media_.Quit();
    }

    // What the game does on starting, in the recording and in the playback.
    void AfterStart() {
        media_.UpdateInput();
        Note("start " + std::to_string(media_.Input().States()));
    }
    void PlayBack(const Probe& recorded) {
        player_.Start(recorded.bytes, recorded.startTime, 10, *this);
        AfterStart();
    }
    PlaybackClock& Pace() { return player_.Pace(); }
    void StopPlayback() { player_.Stop(); }

    std::vector<std::string> log;
    std::vector<uint8_t> bytes;
    uint32_t startTime = 0;
    std::vector<uint16_t> watcherKeys;
    PlaybackEnd ended = PlaybackEnd::Failed;
    int extraReads = 0;
    IntervalTimer* mainTimer = nullptr;

private:
    void Note(const std::string& what) {
        if (recorder_.Recording() || media_.Playing())
            log.push_back(std::to_string(media_.TickCount()) + " " + what);
    }

    Platform& media_;
    TRecorder recorder_;
    TPlayer player_;
};

HeadlessBackend::Options Scripted(const std::string& script, int64_t utcMs = 0) {
    HeadlessBackend::Options options;
    options.script = ParseScript(script);
    options.utcMs = utcMs;
    return options;
}

constexpr const char* kSession =
    "3 key A\n5 key R\n8 down Left\n12 key I\n15 up Left\n20 deactivate\n30 activate\n33 key Shift+B\n"
    "40 down Space\n44 key S\n";

TEST(Playback, GivesTheGameTheRecordedCallsTimesInputsAndClock) {
    HeadlessBackend recordingMachine(Scripted(kSession, 43210000));
    Platform recording(recordingMachine);
    Probe first(recording);
    recording.Run(first);
    ASSERT_FALSE(first.bytes.empty());
    ASSERT_GT(first.log.size(), 50u);
    EXPECT_EQ(first.log.front(), "40 start 0");
    EXPECT_EQ(first.log.back(), "430 key 83/0");

    // Another machine: another time of day, and a key of whoever watches.
    HeadlessBackend replayingMachine(Scripted("2 key Q\n"));
    Platform replaying(replayingMachine);
    Probe second(replaying);
    second.PlayBack(first);
    replaying.Run(second);
    EXPECT_EQ(second.ended, PlaybackEnd::Finished);
    EXPECT_EQ(second.log, first.log);
    EXPECT_EQ(second.watcherKeys, std::vector<uint16_t>{'Q'});
}

TEST(Playback, EndsAtTheCloseButtonWithoutClosing) {
    HeadlessBackend recordingMachine(Scripted("2 key R\n9 down Up\n15 close\n"));
    Platform recording(recordingMachine);
    Probe first(recording);
    recording.Run(first);
    ASSERT_EQ(first.log.back(), "140 close");

    HeadlessBackend replayingMachine(Scripted(""));
    Platform replaying(replayingMachine);
    Probe second(replaying);
    second.PlayBack(first);
    replaying.Run(second);
    EXPECT_EQ(second.ended, PlaybackEnd::Closed);
    first.log.pop_back();  // the close itself is not handed to the game
    EXPECT_EQ(second.log, first.log);
}

TEST(Playback, AGameThatReadsOtherwiseEndsItAsFailed) {
    HeadlessBackend recordingMachine(Scripted(kSession));
    Platform recording(recordingMachine);
    Probe first(recording);
    recording.Run(first);

    HeadlessBackend replayingMachine(Scripted(""));
    Platform replaying(replayingMachine);
    Probe second(replaying);
    second.extraReads = 1;  // reads the input states once more than recorded
    second.PlayBack(first);
    replaying.Run(second);
    EXPECT_EQ(second.ended, PlaybackEnd::Failed);
}

TEST(Playback, InRealTimeFollowsSpeedAndPauseAndCannotBurst) {
    HeadlessBackend recordingMachine(Scripted("1 key R\n4000 key S\n"));
    Platform recording(recordingMachine);
    Probe first(recording);
    recording.Run(first);

    // A playback in real time, as the window shows it: the loop's passes at
    // chosen moments.
    HeadlessBackend pacedMachine(HeadlessBackend::Options{});
    Platform paced(pacedMachine);
    Probe second(paced);
    second.PlayBack(first);
    // Start at 0 on the real clock: the recorded frames are 10 ms apart.
    EXPECT_EQ(paced.RunPlaybackPass(second, 100), 10);
    // The loop may sleep until the next recorded frame, in real time.
    EXPECT_EQ(paced.TimeUntilHandler(100), 10u);
    EXPECT_EQ(paced.TimeUntilHandler(104), 6u);
    second.Pace().Faster();
    second.Pace().Faster();
    EXPECT_EQ(paced.RunPlaybackPass(second, 200), 40);  // four times the speed
    EXPECT_EQ(paced.TimeUntilHandler(200), 3u);         // ten recorded ms, rounded up
    second.Pace().TogglePause();
    EXPECT_EQ(paced.RunPlaybackPass(second, 1000), 0);
    EXPECT_EQ(paced.TimeUntilHandler(1000), UINT32_MAX);  // until a key of the watcher
    second.Pace().TogglePause();
    second.Pace().Faster();
    second.Pace().Faster();  // eight at most
    EXPECT_EQ(second.Pace().Speed(), 8);
    // Two seconds late: forty frames, and the rest of the backlog let go.
    EXPECT_EQ(paced.RunPlaybackPass(second, 3000), 40);
    EXPECT_EQ(paced.RunPlaybackPass(second, 3001), 1);  // the frame held back
    EXPECT_EQ(paced.RunPlaybackPass(second, 3011), 8);

    // Keys of whoever watches go to the listener, not to the game.
    const size_t logged = second.log.size();
    paced.DeliverKey(second, 'Z', 0);
    EXPECT_EQ(second.watcherKeys, std::vector<uint16_t>{'Z'});
    EXPECT_EQ(second.log.size(), logged);
}

TEST(Playback, GivesBackTheTimersFrameClockAndInputAsTheyWere) {
    HeadlessBackend recordingMachine(Scripted("1 key R\n50 key S\n"));
    Platform recording(recordingMachine);
    Probe first(recording);
    recording.Run(first);

    // A playback in real time, as the window shows it: the loop's passes at
    // chosen moments.
    HeadlessBackend pacedMachine(HeadlessBackend::Options{});
    Platform paced(pacedMachine);
    Probe second(paced);
    paced.Input().Restore(isLeft, isButton1);
    paced.Clock().SetInterval(25);
    second.PlayBack(first);
    paced.Clock().SetInterval(10);  // what a replay sets
    paced.Input().Restore(0, 0);
    second.mainTimer->SetInterval(40, 0);  // the game may change a timer
    paced.RunPlaybackPass(second, 300);
    second.StopPlayback();
    EXPECT_FALSE(paced.Playing());
    EXPECT_EQ(paced.Clock().Interval(), 25u);
    EXPECT_EQ(paced.Input().States(), uint32_t(isLeft));
    EXPECT_EQ(paced.Input().Suppressed(), uint32_t(isButton1));
    EXPECT_EQ(paced.TickCount(), 0u);  // the machine's own time again
    EXPECT_EQ(second.mainTimer->Interval(), 100u);
    EXPECT_EQ(second.mainTimer->NextDue(), 100u);
}

TEST(IntervalTimer, GivenBackKeepsItsBeatWithoutABurst) {
    IntervalTimer timer([] {});
    timer.SetInterval(100, 0);
    timer.SetEnabled(true, 0);
    const IntervalTimer::State before = timer.Save();
    timer.SetInterval(35, 20);
    timer.Restore(before, 1234);
    EXPECT_EQ(timer.Interval(), 100u);
    EXPECT_EQ(timer.NextDue(), 1300u);
    timer.Restore(before, 50);
    EXPECT_EQ(timer.NextDue(), 100u);
}

}  // namespace
