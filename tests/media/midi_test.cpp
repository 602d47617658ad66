// Reading Standard MIDI Files and playing them sample-exact: tempo maps,
// running status, tracks played together, the end at the last event, and
// files that are cut short or are no MIDI files at all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/files.h"
#include "formats/midi_file.h"
#include "media/midi_sequencer.h"

namespace {

using formats::MidiMessage;
using formats::MidiSong;
using Bytes = std::vector<uint8_t>;

Bytes Chunk(const char* id, const Bytes& body) {
    Bytes out(id, id + 4);
    for (int shift : {24, 16, 8, 0}) out.push_back(uint8_t(body.size() >> shift));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes File(uint16_t format, uint16_t division, const std::vector<Bytes>& tracks) {
    Bytes out = Chunk(
        "MThd", {0, uint8_t(format), 0, uint8_t(tracks.size()), uint8_t(division >> 8), uint8_t(division)});
    for (const Bytes& track : tracks) {
        const Bytes chunk = Chunk("MTrk", track);
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(MidiFile, TempoChangesRunningStatusAndTracksPlayedTogether) {
    // 480 ticks a quarter. The first track holds the tempo: 120 beats a
    // minute until tick 960, then 60.
    const Bytes tempo = Bytes{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20} +        // 500000 us
                        Bytes{0x87, 0x40, 0xFF, 0x51, 0x03, 0x0F, 0x42, 0x40} +  // +960: 1000000 us
                        Bytes{0x87, 0x40, 0xFF, 0x2F, 0x00};                     // +960: the end
    // Notes on channel 2, the second and third by running status.
    const Bytes notes = Bytes{0x00, 0x92, 60, 100} + Bytes{0x83, 0x60, 62, 100} +  // tick 0, tick 480
                        Bytes{0x87, 0x40, 60, 0} + kEnd;                           // tick 1440
    const auto song = formats::ParseMidiFile(File(1, 480, {tempo, notes}));
    ASSERT_TRUE(song);
    ASSERT_EQ(song->messages.size(), 3u);
    EXPECT_EQ(song->messages[0].timeUs, 0);
    EXPECT_EQ(song->messages[1].timeUs, 500'000);
    EXPECT_EQ(song->messages[1].status, 0x92);
    EXPECT_EQ(song->messages[1].data1, 62);
    EXPECT_EQ(song->messages[2].timeUs, 2'000'000);  // 960 ticks at 120, then 480 at 60
    EXPECT_EQ(song->messages[2].data2, 0);
    EXPECT_EQ(song->lengthUs, 3'000'000);  // the longer track's end: tick 1920
}

TEST(MidiFile, FrameBasedTimeAndProgramChangesWithOneDataByte) {
    // 25 frames a second, 40 ticks a frame: a millisecond a tick.
    const Bytes track =
        Bytes{0x00, 0xC0, 5} + Bytes{0x81, 0x70, 0x90, 64, 90} + Bytes{0x83, 0x68, 0xFF, 0x2F, 0x00};
    const auto song = formats::ParseMidiFile(File(0, 0xE728, {track}));
    ASSERT_TRUE(song);
    ASSERT_EQ(song->messages.size(), 2u);
    EXPECT_EQ(song->messages[0].status, 0xC0);
    EXPECT_EQ(song->messages[0].data1, 5);
    EXPECT_EQ(song->messages[1].timeUs, 240'000);
    EXPECT_EQ(song->lengthUs, 240'000 + 488'000);
}

TEST(MidiFile, DamagedFilesAreRefused) {
    const Bytes note = Bytes{0x00, 0x90, 60, 100} + kEnd;
    ASSERT_TRUE(formats::ParseMidiFile(File(0, 96, {note})));
    const Bytes whole = File(0, 96, {note});
    EXPECT_FALSE(formats::ParseMidiFile(Bytes(whole.begin(), whole.end() - 3)));  // cut short
    const std::string riff = "RIFF nonsense";
    EXPECT_FALSE(formats::ParseMidiFile(Bytes(riff.begin(), riff.end())));
    EXPECT_FALSE(formats::ParseMidiFile(File(0, 96, {Bytes{0x00, 60, 100} + kEnd})));          // no status
    EXPECT_FALSE(formats::ParseMidiFile(File(0, 96, {Bytes{0x00, 0x90, 60, 200} + kEnd})));    // data byte
    EXPECT_FALSE(formats::ParseMidiFile(File(0, 96, {Bytes{0x00, 0xF3, 1} + kEnd})));          // system
    EXPECT_FALSE(formats::ParseMidiFile(File(0, 96, {kEnd})));                                 // no note
    EXPECT_FALSE(formats::ParseMidiFile(File(0, 0, {note})));                                  // no division
    EXPECT_FALSE(formats::ParseMidiFile(File(0, 96, {Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0x7F}})));  // delta
}

TEST(MidiFile, EveryShippedTuneIsReadAndLastsAtLeastAMinute) {
    const std::string music = std::string(MUNCHORA_PROGRAM_DIR) + "/Music";
    const auto tunes = formats::FindFiles(music, "*.mid");
    ASSERT_FALSE(tunes.empty());
    for (const std::string& name : tunes) {
        const auto song = formats::ParseMidiFile(*formats::ReadFileBytes(music + "/" + name));
        ASSERT_TRUE(song) << name;
        EXPECT_GE(song->lengthUs, 60'000'000) << name;
        EXPECT_GE(song->lengthUs, song->messages.back().timeUs) << name;
    }
}

// Records what it was sent at which frame; renders a constant.
class RecordingSynth : public media::MidiSynth {
public:
    void Send(const MidiMessage& message) override { sent.push_back({frame, message.data1}); }
    void Render(float* stereo, int frames) override {
        for (int i = 0; i < 2 * frames; ++i) stereo[i] = 0.5f;
        frame += frames;
    }
    int64_t frame = 0;
    std::vector<std::pair<int64_t, int>> sent;  // frame, first data byte
};

MidiSong Song(std::initializer_list<std::pair<int64_t, uint8_t>> notes, int64_t lengthUs) {
    MidiSong song;
    for (const auto& [us, key] : notes) song.messages.push_back({us, 0x90, key, 100});
    song.lengthUs = lengthUs;
    return song;
}

TEST(MidiSequencer, MessagesAtTheirSampleAndTheEndAtTheLastEvent) {
    media::MidiSequencer sequencer(1000);  // a frame a millisecond
    RecordingSynth synth;
    sequencer.Load(Song({{0, 60}, {150'000, 62}, {150'000, 64}, {299'000, 65}}, 300'000));
    std::vector<float> block(2 * 100);
    EXPECT_FALSE(sequencer.Render(synth, block.data(), 100));  // nothing plays before Play
    EXPECT_TRUE(synth.sent.empty());

    synth.frame = 0;
    sequencer.Play();
    EXPECT_FALSE(sequencer.Render(synth, block.data(), 100));
    EXPECT_FALSE(sequencer.Render(synth, block.data(), 100));
    EXPECT_TRUE(sequencer.Render(synth, block.data(), 100));  // frames 200 to 299: the end at 300
    EXPECT_FALSE(sequencer.Playing());
    EXPECT_EQ(synth.sent, (std::vector<std::pair<int64_t, int>>{{0, 60}, {150, 62}, {150, 64}, {299, 65}}));
    // The synthesizer sounds on after the end, for the notes' release.
    EXPECT_FALSE(sequencer.Render(synth, block.data(), 100));
    EXPECT_EQ(synth.frame, 400);
    EXPECT_EQ(block[199], 0.5f);

    // Played again, it starts from its beginning.
    sequencer.Play();
    sequencer.Render(synth, block.data(), 10);
    EXPECT_EQ(synth.sent.back(), (std::pair<int64_t, int>{400, 60}));
}

TEST(MidiSequencer, EndInsideABlockIsReportedInThatBlock) {
    media::MidiSequencer sequencer(44100);
    RecordingSynth synth;
    sequencer.Load(Song({{0, 60}}, 1'000'000));
    sequencer.Play();
    std::vector<float> block(2 * 1024);
    int blocks = 0;
    while (!sequencer.Render(synth, block.data(), 1024)) ++blocks;
    EXPECT_EQ(blocks, 44100 / 1024);  // the block holding frame 44100
}

}  // namespace
