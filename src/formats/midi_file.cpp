#include "formats/midi_file.h"

#include <algorithm>
#include <cstring>

namespace formats {

namespace {

constexpr uint32_t kDefaultTempo = 500000;  // microseconds per quarter note: 120 beats a minute

struct TrackEvent {
    uint64_t tick;
    int track;
    bool tempo;  // a tempo change, else a channel message
    uint32_t usPerQuarter;
    MidiMessage message;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool AtEnd() const { return pos_ >= size_; }
    bool Byte(uint8_t& b) {
        if (pos_ >= size_) return false;
        b = data_[pos_++];
        return true;
    }
    bool Peek(uint8_t& b) const {
        if (pos_ >= size_) return false;
        b = data_[pos_];
        return true;
    }
    bool Skip(uint32_t n) {
        if (n > size_ - pos_) return false;
        pos_ += n;
        return true;
    }
    // A variable-length quantity: seven bits a byte, at most four bytes.
    bool Vlq(uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b;
            if (!Byte(b)) return false;
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) return true;
        }
        return false;
    }
    const uint8_t* Here() const { return data_ + pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

uint32_t BigEndian(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

int DataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

// One MTrk chunk's events with their absolute ticks; the tick of its end.
bool ReadTrack(Reader in, int track, std::vector<TrackEvent>& events, uint64_t& endTick) {
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!in.AtEnd()) {
        uint32_t delta;
        if (!in.Vlq(delta)) return false;
        tick += delta;
        uint8_t status;
        if (!in.Peek(status)) return false;
        if (status & 0x80) {
            in.Byte(status);
        } else if (running != 0) {
            status = running;
        } else {
            return false;  // data without a status
        }
        if (status == 0xFF) {
            uint8_t type;
            uint32_t length;
            if (!in.Byte(type) || !in.Vlq(length)) return false;
            const uint8_t* data = in.Here();
            if (!in.Skip(length)) return false;
            if (type == 0x51 && length == 3) {
                const uint32_t tempo = BigEndian(data, 3);
                if (tempo == 0) return false;
                events.push_back({tick, track, true, tempo, {}});
            }
            if (type == 0x2F) break;  // end of track
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            uint32_t length;
            if (!in.Vlq(length) || !in.Skip(length)) return false;
            continue;
        }
        if (status >= 0xF0) return false;  // no other system message belongs in a file
        running = status;
        MidiMessage message;
        message.status = status;
        if (!in.Byte(message.data1) || message.data1 >= 0x80) return false;
        if (DataBytes(status) == 2 && (!in.Byte(message.data2) || message.data2 >= 0x80)) return false;
        events.push_back({tick, track, false, 0, message});
    }
    endTick = tick;
    return true;
}

}  // namespace

std::optional<MidiSong> ParseMidiFile(const std::vector<uint8_t>& bytes) {
    const uint8_t* data = bytes.data();
    const size_t size = bytes.size();
    if (size < 14 || std::memcmp(data, "MThd", 4) != 0) return std::nullopt;
    const uint32_t headerLength = BigEndian(data + 4, 4);
    if (headerLength < 6 || headerLength > size - 8) return std::nullopt;
    const uint32_t format = BigEndian(data + 8, 2);
    const uint32_t trackCount = BigEndian(data + 10, 2);
    const uint32_t division = BigEndian(data + 12, 2);
    if (format > 2 || trackCount == 0 || division == 0) return std::nullopt;

    std::vector<TrackEvent> events;
    uint64_t endTick = 0;
    size_t pos = 8 + headerLength;
    int tracks = 0;
    while (tracks < int(trackCount)) {
        if (size - pos < 8) return std::nullopt;
        const uint32_t length = BigEndian(data + pos + 4, 4);
        if (length > size - pos - 8) return std::nullopt;
        if (std::memcmp(data + pos, "MTrk", 4) == 0) {
            uint64_t trackEnd = 0;
            if (!ReadTrack(Reader(data + pos + 8, length), tracks, events, trackEnd)) return std::nullopt;
            endTick = std::max(endTick, trackEnd);
            ++tracks;
        }
        pos += 8 + length;  // chunks of other kinds are skipped
    }

    // Tracks play together; at the same tick the earlier track goes first,
    // so a tempo change in the first track applies to the others' notes.
    std::stable_sort(events.begin(), events.end(), [](const TrackEvent& a, const TrackEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.track < b.track;
    });

    // Ticks to microseconds: quarter notes at the tempo in force, or SMPTE
    // frames of a fixed length when the top bit of the division is set.
    const bool frames = (division & 0x8000) != 0;
    const double framesPerSecond = frames ? double(256 - (division >> 8)) : 0.0;
    const double ticksPerUnit = frames ? double(division & 0xFF) : double(division);
    if (ticksPerUnit == 0) return std::nullopt;
    uint64_t segmentTick = 0;
    double segmentUs = 0;
    double usPerTick = frames ? 1e6 / (framesPerSecond * ticksPerUnit) : kDefaultTempo / ticksPerUnit;
    auto timeOf = [&](uint64_t tick) { return segmentUs + double(tick - segmentTick) * usPerTick; };

    MidiSong song;
    for (const TrackEvent& event : events) {
        if (event.tempo) {
            if (frames) continue;
            segmentUs = timeOf(event.tick);
            segmentTick = event.tick;
            usPerTick = event.usPerQuarter / ticksPerUnit;
            continue;
        }
        MidiMessage message = event.message;
        message.timeUs = int64_t(timeOf(event.tick));
        song.messages.push_back(message);
    }
    if (song.messages.empty()) return std::nullopt;
    song.lengthUs = int64_t(timeOf(endTick));
    return song;
}

}  // namespace formats
