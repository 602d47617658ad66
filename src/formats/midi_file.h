// Standard MIDI Files, read into what a synthesizer needs to play a tune: one
// time-ordered list of channel messages with the tempo map applied, and the
// tune's length, which ends at its last event (the end of its longest track).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace formats {

struct MidiMessage {
    int64_t timeUs = 0;  // from the start of the tune
    uint8_t status = 0;  // 0x80..0xEF: the kind and the channel
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

struct MidiSong {
    std::vector<MidiMessage> messages;
    int64_t lengthUs = 0;
};

// Formats 0, 1 and 2 (whose tracks are read as played together), with
// running status, tempo changes and frame-based time. Nothing when the bytes
// are not such a file, are cut short, or hold no channel message at all.
std::optional<MidiSong> ParseMidiFile(const std::vector<uint8_t>& bytes);

}  // namespace formats
