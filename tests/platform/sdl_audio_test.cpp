// The real backend without a sound device: the game must go on silently,
// the level tunes included, and still refuse a damaged tune.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/sdl/sdl_backend.h"

namespace {

TEST(SdlAudio, WithoutADeviceTunesAreCheckedAndPlaySilently) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    {
        platform::SdlBackend machine;
        platform::Platform media(machine);
        EXPECT_FALSE(media.InitializeSound());
        media::Wave wave({});
        media.PlayWave(wave, "EatDot", 0);

        EXPECT_TRUE(media.MidiOpen(std::string(MUNCHORA_PROGRAM_DIR) + "/Music/01.mid"));
        EXPECT_EQ(media.GetMidiMode(), platform::MidiMode::Stopped);
        EXPECT_TRUE(media.MidiPlay());
        EXPECT_EQ(media.GetMidiMode(), platform::MidiMode::Playing);
        media.MidiClose();
        EXPECT_EQ(media.GetMidiMode(), platform::MidiMode::Stopped);
        EXPECT_FALSE(media.MidiPlay());

        const auto damaged = std::filesystem::temp_directory_path() /
                             ("munchora_damaged_tune_" + std::to_string(getpid()) + ".mid");
        std::ofstream(damaged) << "MThd nonsense";
        EXPECT_FALSE(media.MidiOpen(damaged.string()));
        std::filesystem::remove(damaged);
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

}  // namespace
