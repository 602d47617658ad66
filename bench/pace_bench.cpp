// The pace of the real game in a real window: the SDL loop runs level 1 for
// some seconds with a presenter that waits for a simulated display refresh
// the way a vsync present does (Xvfb itself has no vsync), and reports game
// frames per second (what the speed of play depends on) and presents per
// second. Run it under Xvfb; bench/pace.sh runs the usual cases.
//
// Usage: pace_bench PROGRAM_DIR TIMER_MS REFRESH_HZ [SECONDS]   (REFRESH_HZ 0: no wait)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "game/globals.h"
#include "platform/sdl/sdl_backend.h"
#include "shell/boot.h"
#include "shell/main_form.h"

namespace {

using Clock = std::chrono::steady_clock;

class VsyncBackend : public platform::SdlBackend {
public:
    explicit VsyncBackend(int refreshHz)
        : period_(refreshHz > 0 ? std::chrono::nanoseconds(1'000'000'000 / refreshHz) : Clock::duration{}) {}
    int presents = 0;

protected:
    // Returns at the next refresh of a display that started with the program.
    void PresentLatest() override {
        SdlBackend::PresentLatest();
        ++presents;
        if (period_.count() == 0) return;
        const auto elapsed = Clock::now() - start_;
        std::this_thread::sleep_until(start_ + (elapsed / period_ + 1) * period_);
    }

private:
    Clock::time_point start_ = Clock::now();
    Clock::duration period_;
};

// The game's own window, counting its frames until the time is up.
class CountingApp : public platform::ForwardingEvents {
public:
    CountingApp(shell::TMainForm& form, platform::Platform& media, uint32_t seconds)
        : ForwardingEvents(form), media_(media), seconds_(seconds) {}
    int frames = 0;
    Clock::time_point first, last;

    void OnFrame() override {
        if (frames == 0) first = Clock::now();
        ForwardingEvents::OnFrame();
        ++frames;
        last = Clock::now();
        if (last - first >= std::chrono::seconds(seconds_)) media_.Quit();
    }

private:
    platform::Platform& media_;
    uint32_t seconds_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: pace_bench PROGRAM_DIR TIMER_MS REFRESH_HZ [SECONDS]\n");
        return 2;
    }
    std::string dataDir = argv[1];
    if (dataDir.back() != '/') dataDir += '/';
    const int timer = std::atoi(argv[2]);
    const int refresh = std::atoi(argv[3]);
    const int seconds = argc > 4 ? std::atoi(argv[4]) : 10;

    VsyncBackend machine(refresh);
    platform::Platform media(machine);
    shell::TBootOptions boot;
    boot.programDir = dataDir;
    boot.startOptions.NoSound = true;
    boot.startOptions.NoMidi = true;
    boot.startOptions.Debug = true;  // the FPS text is drawn as a player with Debug sees it
    const std::unique_ptr<shell::TMainForm> window = shell::Boot(media, boot);
    shell::TMainForm& form = *window;
    game::State.CurrentLevel = 0;
    form.SetScreenState(shell::scGame);
    game::State.Lives = 1000;  // catches must not end the level
    form.Media().Clock().SetInterval(uint32_t(timer));
    if (form.Closing()) {
        std::fprintf(stderr, "pace_bench: the game could not start from %s\n", dataDir.c_str());
        return 1;
    }
    CountingApp app(form, media, uint32_t(seconds));
    media.Run(app);
    const double elapsed = std::chrono::duration<double>(app.last - app.first).count();
    std::printf("timer %d ms, %s: %.1f game frames/s (wanted %.1f), %.1f presents/s, FPS text %u\n", timer,
                refresh > 0 ? (std::to_string(refresh) + " Hz presenter").c_str() : "no-vsync presenter",
                (app.frames - 1) / elapsed, timer > 0 ? 1000.0 / timer : 0.0, machine.presents / elapsed,
                form.Media().Clock().FramesPerSecond());
    form.FormClose();
    return 0;
}
