// Game events counted in 100 ms ticks of the main timer rather than in
// frames: the monster spawn of every level and the end of the slow-monster
// bonus. The manager is run once per tick while the game screen is shown and
// not paused, so menus and the pause do not count.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace game {

class TTimerTask {
public:
    // `startTick` is the main timer's tick count when the task is made;
    // `period` is above 0.
    TTimerTask(std::function<void()> proc, int32_t startTick, int32_t period, bool oneShot);

    int32_t StartTick;
    int32_t RunCount;  // starts at StartTick; +1 after every run of the manager
    int32_t Period;
    std::function<void()> Proc;
    bool OneShot;
};

// Runs its tasks on every tick. It does not own them: each creator frees its
// own task, after it has left the list.
class TTimerManager {
public:
    void Add(TTimerTask* task);
    // One tick. With e = RunCount - StartTick (0 on the first run), a
    // one-shot task fires when e equals its period, a periodic one whenever
    // e is a multiple of it: on the first run, then every Period runs.
    // Due tasks fire in the order they were added.
    void Run();
    // Empties the list; the tasks themselves are left alone.
    void Clear();

    std::vector<TTimerTask*> Tasks;
};

}  // namespace game
