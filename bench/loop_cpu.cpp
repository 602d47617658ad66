// What the real game's SDL loop costs the machine: level 1 played for some
// seconds in a real window with sounds and music (the keys turn the player
// every second, the monsters cannot end the level), then the processor time
// of the whole process (every thread), presents per second, game frames per
// second and how many of those frames changed the picture (the bench's own
// comparing is not counted in the time). Run it under Xvfb with an audio driver, as bench/loop_cpu.sh does.
//
// Usage: loop_cpu PROGRAM_DIR [SECONDS]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "game/globals.h"
#include "platform/sdl/sdl_backend.h"
#include "shell/boot.h"
#include "shell/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

class CountingBackend : public platform::SdlBackend {
public:
    int presents = 0;

protected:
    void PresentLatest() override {
        SdlBackend::PresentLatest();
        ++presents;
    }
};

class PlayingApp : public platform::ForwardingEvents {
public:
    PlayingApp(shell::TMainForm& form, CountingBackend& machine, platform::Platform& media, int seconds)
        : ForwardingEvents(form), machine_(machine), media_(media), seconds_(seconds) {}
    int frames = 0;
    int presentsAtStart = 0;
    int changedFrames = 0;
    double processorAtStart = 0;
    double comparing = 0;  // processor seconds of the bench's own comparing
    Clock::time_point first, last;

    void OnFrame() override {
        if (frames == 0) {
            first = Clock::now();
            processorAtStart = ProcessorSeconds();
            presentsAtStart = machine_.presents;
        }
        // A turn every second keeps the player walking the corridors.
        static constexpr uint16_t kTurns[] = {platform::vk::Right, platform::vk::Down, platform::vk::Left,
                                              platform::vk::Up};
        if (frames % 50 == 0) OnKeyDown(kTurns[(frames / 50) % 4], 0);
        ForwardingEvents::OnFrame();
        game::State.Lives = 1000;  // catches must not end the level
        const double compareStart = ThreadSeconds();
        const media::Surface& picture = media_.Display();
        const size_t bytes = size_t(picture.Width()) * size_t(picture.Height()) * sizeof(uint16_t);
        if (frames > 0 && std::memcmp(last_.data(), picture.Pixels(), bytes) != 0) ++changedFrames;
        last_.assign(picture.Pixels(), picture.Pixels() + bytes / sizeof(uint16_t));
        comparing += ThreadSeconds() - compareStart;
        ++frames;
        last = Clock::now();
        if (last - first >= std::chrono::seconds(seconds_)) media_.Quit();
    }

private:
    CountingBackend& machine_;
    platform::Platform& media_;
    int seconds_;
    std::vector<uint16_t> last_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: loop_cpu PROGRAM_DIR [SECONDS]\n");
        return 2;
    }
    std::string dataDir = argv[1];
    if (dataDir.back() != '/') dataDir += '/';
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;

    CountingBackend machine;
    platform::Platform media(machine);
    shell::TBootOptions boot;
    boot.programDir = dataDir;
    const std::unique_ptr<shell::TMainForm> window = shell::Boot(media, boot);
    shell::TMainForm& form = *window;
    game::State.CurrentLevel = 0;
    form.SetScreenState(shell::scGame);
    if (form.Closing()) {
        std::fprintf(stderr, "loop_cpu: the game could not start from %s\n", dataDir.c_str());
        return 1;
    }
    PlayingApp app(form, machine, media, seconds);
    media.Run(app);
    const double elapsed = std::chrono::duration<double>(app.last - app.first).count();
    const double processor = ProcessorSeconds() - app.processorAtStart - app.comparing;
    std::printf(
        "%.2f processor s per %d s, %.1f presents/s, %.2f game frames/s of which %.1f/s changed the picture "
        "(timer %u ms)\n",
        processor * seconds / elapsed, seconds, (machine.presents - app.presentsAtStart) / elapsed,
        (app.frames - 1) / elapsed, (app.changedFrames) / elapsed, form.Media().Clock().Interval());
    form.FormClose();
    return 0;
}
