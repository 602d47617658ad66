#include "media/midi_sequencer.h"

#include <algorithm>
#include <utility>

namespace media {

void MidiSequencer::Load(formats::MidiSong song) {
    song_ = std::move(song);
    next_ = 0;
    position_ = 0;
    playing_ = false;
}

void MidiSequencer::Play() {
    next_ = 0;
    position_ = 0;
    playing_ = true;
}

bool MidiSequencer::Render(MidiSynth& synth, float* stereo, int frames) {
    bool ended = false;
    int done = 0;
    while (playing_ && done < frames) {
        const int64_t blockEnd = position_ + (frames - done);
        const bool message = next_ < song_.messages.size();
        const int64_t at =
            std::max(position_, FrameAt(message ? song_.messages[next_].timeUs : song_.lengthUs));
        if (message ? at >= blockEnd : at > blockEnd) break;
        const int upTo = int(at - position_);
        synth.Render(stereo + 2 * done, upTo);
        done += upTo;
        position_ = at;
        if (message) {
            synth.Send(song_.messages[next_++]);
        } else {
            playing_ = false;
            ended = true;
        }
    }
    synth.Render(stereo + 2 * done, frames - done);
    position_ += frames - done;
    return ended;
}

}  // namespace media
