// The three kinds of run the playtest makes, each on a fresh game: the bot
// playing one level with three lives, a player who never moves or holds one
// arrow until the first catch, and the bot playing a whole game from level 1.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "bot.h"
#include "game_driver.h"
#include "model.h"

namespace playtest {

struct LevelRun {
    int level = 0;
    bool cleared = false;
    bool timedOut = false;
    double seconds = 0;  // to the last dot, or to the end of the run
    int livesLost = 0;
    int dotsLeft = 0;
    std::array<int, 3> deathsByKind{};  // ordinary monster, boss, ghost
    int stuckMonsters = 0;              // monsters that kept to a 5 x 5-cell box for over 10 s, no hero near
    Cell stuckAt;                       // the middle of the first one's box
    double stuckSeconds = 0;            // the longest such stay
    bool keyAppeared = false;
    bool gatesOpened = false;
    std::string error;  // a message the game showed
};

struct Limits {
    double levelSeconds = 300;      // a level not cleared by then is a failure
    double firstCatchSeconds = 60;  // a first catch looked for this long
};

LevelRun PlayLevel(GameDriver& driver, int level, uint32_t seed, const BotOptions& bot, const Limits& limits);

struct Catch {
    double seconds = -1;  // -1: none within the limit
    int kind = -1;        // the monster's kind
};

// The first catch of a hero that gets no key (key 0), or one arrow pressed
// before the first frame and never another.
Catch FirstCatch(GameDriver& driver, int level, uint32_t seed, uint16_t key, const Limits& limits);

struct GameRun {
    int number = 0;   // which of the whole games, in the order they were asked for
    int reached = 0;  // the last level started
    bool completed = false;
    std::vector<LevelRun> levels;
};

GameRun PlayGame(GameDriver& driver, uint32_t seed, const BotOptions& bot, const Limits& limits);

// The demo game the title screen shows before any game was recorded: on a
// driver fresh from its start, the bot opens a new game from the title screen
// and plays the first level, then starts the second and leaves the game with
// Escape and Y. Its keys make a script for the headless runner, which plays
// the very same game.
struct DemoGame {
    std::string script;
    LevelRun level;
    int score = 0;
    bool ended = false;  // Escape and Y left the game
};

DemoGame PlayDemo(GameDriver& driver, uint32_t seed, const BotOptions& bot, const Limits& limits);

}  // namespace playtest
