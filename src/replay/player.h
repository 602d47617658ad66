// A recording played to the game: its events take the machine's place, as
// the platform's source, and the keys of whoever watches go to a listener.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "replay/event_record.h"
#include "replay/playback_clock.h"

namespace replay {

// How a playback ended: the recording was played to its end (or the game
// asked to finish it), it reached the window's close button, or the game
// went another way than the recording.
enum class PlaybackEnd { Finished, Closed, Failed };

// Who watches a playback. The recorded events go to the game; the keys of
// the person at the machine come here.
class PlaybackListener {
public:
    virtual ~PlaybackListener() = default;
    virtual void OnWatcherKey(uint16_t key, platform::ShiftState shift) = 0;
    // Once per playback, outside every handler of the game.
    virtual void OnPlaybackEnd(PlaybackEnd end) = 0;
};

class TPlayer : public platform::EventSource {
public:
    explicit TPlayer(platform::Platform& media) : media_(media) {}
    ~TPlayer() override;
    TPlayer(const TPlayer&) = delete;
    TPlayer& operator=(const TPlayer&) = delete;

    // From now on the game gets the recorded events in their order, with the
    // times they had. `startTime` and `frameInterval` are those of the
    // recording's start; the events must have been checked whole
    // (EventsAreWhole).
    void Start(std::vector<uint8_t> events, uint32_t startTime, uint32_t frameInterval,
               PlaybackListener& listener);
    // The game reached the end the recording ends with: nothing more is
    // delivered, and the playback ends once the handler in progress is done.
    void Finish() { finishing_ = true; }
    // Back to the machine's events.
    void Stop();
    // Speed and pause of a playback shown in real time.
    PlaybackClock& Pace() { return pace_; }

    uint32_t ReadInput() override;
    int64_t ReadClock() override;
    void WatcherKey(uint16_t key, platform::ShiftState shift) override {
        listener_->OnWatcherKey(key, shift);
    }
    int RunPass(platform::AppEvents& app, uint32_t now) override;
    uint32_t TimeUntilDue(uint32_t now) override;
    bool RunFrame(platform::AppEvents& app) override;

private:
    // Hands one recorded event to the game; false when the recording ends
    // there (a close) or went wrong.
    bool Deliver(platform::AppEvents& app, const RecordedEvent& event);
    // Ends the playback when its events are used up, it was finished or
    // failed; true when it ended now or before.
    bool Over();

    platform::Platform& media_;
    std::vector<uint8_t> bytes_;
    EventReader reader_;
    PlaybackListener* listener_ = nullptr;
    PlaybackClock pace_;
    uint32_t lastMask_ = 0;
    // The frame being given carries its first input reading.
    bool frameSlot_ = false;
    bool slotChanged_ = false;
    uint32_t slotMask_ = 0;
    bool finishing_ = false;
    bool failed_ = false;
    bool closed_ = false;
    bool ended_ = false;
};

}  // namespace replay
