// Frame rate of the game screen: the real game on the headless platform, on
// a busy level (every monster of the level out and active, two players, a
// bonus lying), with and without drawing.
//
// Usage: game_bench [PROGRAM_DIR] [LEVEL]   (default: the build directory, level 3)
#include <time.h>

#include <cstdio>
#include <string>

#include "actors/bonus.h"
#include "actors/enemy.h"
#include "actors/game.h"
#include "actors/player.h"
#include "formats/files.h"
#include "game/globals.h"
#include "game/level.h"
#include "platform/headless/headless_backend.h"
#include "shell/boot.h"
#include "shell/main_form.h"

namespace {

constexpr int kFrames = 3000;

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Fills the maze with every monster of the level and lets them finish
// appearing, with the player kept alive so the level stays busy.
void MakeBusy(shell::TMainForm& form) {
    for (int run = 0; run < 12; ++run) actors::SpawnMonsters();  // at most one of each kind per run
    for (int i = 0; i < 40; ++i) form.OnFrame();
    new actors::TPlayerSprite(form.Sprites().Root(), game::State.GameLevel.PlayerPoint.X,
                              game::State.GameLevel.PlayerPoint.Y);
    actors::SpawnBonus(1);
}

int CountMonsters(shell::TMainForm& form) {
    int count = 0;
    engine::ForEachChild<actors::TEnemySprite>(*form.Sprites().Root(), [&count](auto&) { ++count; });
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dataDir = argc > 1 ? argv[1] : formats::ExecutableDirectory() + "../";
    if (dataDir.back() != '/') dataDir += '/';
    const int level = argc > 2 ? std::atoi(argv[2]) : 3;

    platform::HeadlessBackend machine(platform::HeadlessBackend::Options{});
    platform::Platform media(machine);
    shell::TBootOptions boot;
    boot.programDir = dataDir;
    boot.startOptions.NoSound = true;
    boot.startOptions.NoMidi = true;
    const std::unique_ptr<shell::TMainForm> window = shell::Boot(media, boot);
    shell::TMainForm& form = *window;
    // Starting a level from the main menu loads the game screen's pictures
    // too; the next level keeps them and loads only its background.
    constexpr int kStarts = 20;
    double fromMenu = 0;
    for (int i = 0; i < kStarts; ++i) {
        form.SetScreenState(shell::scMainMenu);
        game::State.CurrentLevel = level - 1;
        const double start = ThreadSeconds();
        form.SetScreenState(shell::scGame);
        fromMenu += ThreadSeconds() - start;
    }
    double start = ThreadSeconds();
    for (int i = 0; i < kStarts; ++i) {
        game::State.CurrentLevel = level - 1;
        form.SetScreenState(shell::scGame);
    }
    std::printf("level start: %.2f ms from the menu, %.2f ms as the next level\n",
                fromMenu * 1000.0 / kStarts, (ThreadSeconds() - start) * 1000.0 / kStarts);
    game::State.Lives = 1000;  // catches must not end the measurement
    if (form.Closing() || !form.Level()) {
        std::fprintf(stderr, "game_bench: level %d could not start from %s\n", level, dataDir.c_str());
        return 1;
    }
    MakeBusy(form);
    std::printf("level %d: %d monsters, %d players, %d sprites\n", level, CountMonsters(form),
                game::State.PlayersAlive, form.Sprites().Root()->SpriteCount());

    // The main timer ticks every tenth frame, as at the default 10 ms frame
    // interval, so caught players come back and monsters are spawned again.
    start = ThreadSeconds();
    for (int i = 1; i <= kFrames; ++i) {
        form.OnFrame();
        if (i % 10 == 0) form.MainTimerTimer();
    }
    const double withDrawing = kFrames / (ThreadSeconds() - start);
    const int monstersAfterDrawing = CountMonsters(form);

    start = ThreadSeconds();
    for (int i = 1; i <= kFrames; ++i) {
        form.Sprites().Move(1);
        form.Sprites().SweepDead();
        if (i % 10 == 0) form.MainTimerTimer();
    }
    const double withoutDrawing = kFrames / (ThreadSeconds() - start);
    std::printf("with drawing: %.0f frames per second (%d monsters at the end)\n", withDrawing,
                monstersAfterDrawing);
    std::printf("without drawing: %.0f frames per second (%d monsters at the end)\n", withoutDrawing,
                CountMonsters(form));
    return 0;
}
