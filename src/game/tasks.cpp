#include "game/tasks.h"

#include <utility>

namespace game {

TTimerTask::TTimerTask(std::function<void()> proc, int32_t startTick, int32_t period, bool oneShot)
    : StartTick(startTick), RunCount(startTick), Period(period), Proc(std::move(proc)), OneShot(oneShot) {}

void TTimerManager::Add(TTimerTask* task) { Tasks.push_back(task); }

void TTimerManager::Run() {
    // Only the tasks present when the tick began take part in it: a task a
    // procedure adds now keeps e = 0 for its first run on the next tick.
    // Indices rather than iterators, and the size checked again, since a
    // procedure may add to the list or empty it.
    const size_t count = Tasks.size();
    for (size_t i = 0; i < count && i < Tasks.size(); ++i) {
        TTimerTask* task = Tasks[i];
        const int32_t elapsed = task->RunCount - task->StartTick;
        const bool due = task->OneShot ? elapsed == task->Period : elapsed % task->Period == 0;
        if (due) task->Proc();
    }
    for (size_t i = 0; i < count && i < Tasks.size(); ++i) ++Tasks[i]->RunCount;
}

void TTimerManager::Clear() { Tasks.clear(); }

}  // namespace game
