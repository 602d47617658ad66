// What recording costs and takes: the platform's work per frame with and
// without a recording (a frame that reads the input states, on the headless
// backend, one core), the work at a game's start and end (digests, writing
// the file), and the size of a five-minute game played by a scripted player
// who changes direction every half second, which it writes for
// bench/measure.sh to verify (MINUTES makes the game that long instead:
// bench/server_load.py sends two-minute games).
//
// Usage: replay_bench [PROGRAM_DIR] [FIVE_MINUTE_FILE] [MINUTES]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "formats/files.h"
#include "game/globals.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/script.h"
#include "replay/recorder.h"
#include "replay/replay_file.h"
#include "shell/boot.h"
#include "shell/main_form.h"

namespace {

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Frames that only read the input states, as every game frame does first.
class Reader : public platform::AppEvents {
public:
    explicit Reader(platform::Platform& media) : media_(media) {}
    void OnFrame() override { media_.UpdateInput(); }
    void OnKeyDown(uint16_t, platform::ShiftState) override {}
    void OnActivate() override {}
    void OnDeactivate() override {}
    void OnMusicEnd() override {}
    void OnCloseButton() override {}

private:
    platform::Platform& media_;
};

// Nanoseconds of the platform per frame, best of three rounds.
double PlatformNanosPerFrame(bool recording) {
    constexpr int kFrames = 1000000;
    // A key every 40 frames, so the records are not all runs.
    std::string script;
    for (int f = 1; f < kFrames; f += 40)
        script += std::to_string(f) + " key " + (f % 80 ? "Left" : "Up") + "\n";
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        platform::HeadlessBackend::Options options;
        options.script = platform::ParseScript(script);
        options.maxFrames = kFrames;
        platform::HeadlessBackend machine(std::move(options));
        platform::Platform media(machine);
        media.Clock().SetInterval(10);
        media.Clock().SetEnabled(true);
        media.CreateTimer([] {}).SetInterval(100, 0);
        Reader app(media);
        replay::TRecorder recorder(media);
        if (recording) recorder.Start();
        const double start = ThreadSeconds();
        media.Run(app);
        const double seconds = ThreadSeconds() - start;
        if (recording) recorder.Stop();
        best = std::min(best, seconds * 1e9 / kFrames);
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir = argc > 1 ? argv[1] : formats::ExecutableDirectory() + "../";
    if (dataDir.back() != '/') dataDir += '/';
    const std::string fiveMinutes = argc > 2 ? argv[2] : "five-minutes.mnr";
    const int minutes = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

    const double without = PlatformNanosPerFrame(false);
    const double with = PlatformNanosPerFrame(true);
    std::printf("platform per frame: %.0f ns without a recording, %.0f ns with one\n", without, with);

    double start = ThreadSeconds();
    constexpr int kDigests = 20;
    for (int i = 0; i < kDigests; ++i) {
        replay::LevelsDigest(dataDir);
        replay::CatalogueDigest(dataDir);
    }
    std::printf("digests at a game's start: %.2f ms\n", (ThreadSeconds() - start) * 1000.0 / kDigests);

    // Five minutes at the shipped 50 frames a second on level 7, turning
    // every half second, with lives to spare: this player loses about eight
    // a minute.
    const std::filesystem::path replays = std::filesystem::temp_directory_path() / "munchora-replay-bench";
    std::filesystem::remove_all(replays);
    const int kFrames = minutes * 3000;
    std::string script;
    const char* const keys[] = {"Left", "Up", "Right", "Down", "Up", "Left", "Down"};
    for (int f = 10, i = 0; f < kFrames; f += 50, ++i)
        script += std::to_string(f) + " key " + keys[i % 7] + "\n";
    platform::HeadlessBackend::Options options;
    options.script = platform::ParseScript(script);
    options.maxFrames = kFrames;
    platform::HeadlessBackend machine(std::move(options));
    platform::Platform media(machine);
    {
        shell::TBootOptions boot;
        boot.programDir = dataDir;
        boot.startOptions.NoSound = true;
        boot.replayDirectory = replays.string() + "/";
        const std::unique_ptr<shell::TMainForm> window = shell::Boot(media, boot);
        shell::TMainForm& form = *window;
        form.SetScreenState(shell::scMainMenu);
        game::State.CurrentLevel = 6;
        game::State.Lives = 12 * minutes;
        form.SetScreenState(shell::scGame);
        media.Run(form);
        start = ThreadSeconds();
        form.FormClose();
        std::printf("writing it at the game's end: %.2f ms\n", (ThreadSeconds() - start) * 1000.0);
    }
    const auto files = formats::FindFiles(replays.string(), "*.mnr");
    if (files.empty()) {
        std::fprintf(stderr, "replay_bench: the game was not recorded\n");
        return 1;
    }
    const std::string recorded = replays.string() + "/" + files.back();
    const auto size = std::filesystem::file_size(recorded);
    std::printf("%s minutes of play: %ju bytes, %.1f KB a minute\n",
                minutes == 5 ? "five" : std::to_string(minutes).c_str(), uintmax_t(size),
                size / double(minutes) / 1024.0);
    std::filesystem::copy_file(recorded, fiveMinutes, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove_all(replays);
    return 0;
}
