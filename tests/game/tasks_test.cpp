#include "game/tasks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace game;

namespace {

// The runs (counted from 1) on which a task fired.
std::vector<int> FiringRuns(int32_t period, bool oneShot, int runs) {
    std::vector<int> fired;
    int run = 0;
    TTimerTask task([&] { fired.push_back(run); }, 12345, period, oneShot);
    TTimerManager manager;
    manager.Add(&task);
    for (run = 1; run <= runs; ++run) manager.Run();
    return fired;
}

TEST(TaskManager, PeriodicFiresOnItsFirstRunThenEveryPeriod) {
    EXPECT_EQ(FiringRuns(30, false, 100), (std::vector<int>{1, 31, 61, 91}));
}

TEST(TaskManager, OneShotFiresOnceAfterItsPeriod) {
    EXPECT_EQ(FiringRuns(50, true, 200), (std::vector<int>{51}));
}

TEST(TaskManager, DueTasksFireInTheOrderAdded) {
    std::vector<std::string> log;
    TTimerTask second([&] { log.push_back("second"); }, 0, 2, false);
    TTimerTask first([&] { log.push_back("first"); }, 0, 3, false);
    TTimerManager manager;
    manager.Add(&second);
    manager.Add(&first);
    manager.Run();  // both due
    manager.Run();
    manager.Run();  // only "second" (e = 2)
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "second"}));
}

TEST(TaskManager, TaskAddedDuringARunStartsOnTheNextRun) {
    TTimerManager manager;
    std::vector<std::string> log;
    TTimerTask late([&] { log.push_back("late"); }, 500, 2, false);
    TTimerTask adder(
        [&] {
            log.push_back("adder");
            manager.Add(&late);
        },
        0, 100, true);
    manager.Add(&adder);
    for (int i = 0; i < 100; ++i) manager.Run();
    EXPECT_TRUE(log.empty());
    manager.Run();  // e = 100: the one-shot adds "late", which does not run in this tick
    EXPECT_EQ(log, (std::vector<std::string>{"adder"}));
    EXPECT_EQ(late.RunCount, 500);
    manager.Run();  // its first run: e = 0
    manager.Run();
    manager.Run();  // e = 2
    EXPECT_EQ(log, (std::vector<std::string>{"adder", "late", "late"}));
}

TEST(TaskManager, ClearLeavesTheTasksAndStopsCounting) {
    int fired = 0;
    TTimerTask task([&] { ++fired; }, 7, 2, false);
    TTimerManager manager;
    manager.Add(&task);
    manager.Run();
    manager.Clear();
    manager.Run();
    EXPECT_TRUE(manager.Tasks.empty());
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(task.RunCount, 8);
}

}  // namespace
