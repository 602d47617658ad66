// The real game, run frame by frame without a window, as the playtest sees
// it. This is the only part of the tool that knows the game's code: the rest
// reads the two plain records below.
//
// A Screen is what a player sees: the maze with its dots, and every picture
// on it with its place. Facts are what the measurements need beyond that
// (who caught the hero, whether a gate ever opened); the bot never reads them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/level.h"
#include "game/maze_geometry.h"
#include "platform/input.h"

namespace playtest {

// Cell codes of the maze as the level file gives them.
constexpr int kCellDot = game::CellDot;
constexpr int kCellWall = game::CellWall;
constexpr int kCellEmpty = game::CellEmpty;
constexpr int kCellRedBall = game::CellRedBall;
constexpr int kCellGateHoriz = game::CellGateHoriz;
constexpr int kCellGateVert = game::CellGateVert;

constexpr int kMazeLeft = game::kMazeOrigin;  // surface pixel of the maze's left edge
constexpr int kMazeTop = game::kMazeOrigin;
constexpr int kCell = game::kCellSize;

// Key codes the bot presses.
constexpr uint16_t kKeyLeft = platform::vk::Left;
constexpr uint16_t kKeyUp = platform::vk::Up;
constexpr uint16_t kKeyRight = platform::vk::Right;
constexpr uint16_t kKeyDown = platform::vk::Down;

struct SpriteView {
    std::string image;  // the picture's name in the catalogue
    int x = 0;          // top-left corner in surface pixels
    int y = 0;
};

struct Screen {
    bool playing = false;  // the game screen with a level
    int width = 0;         // maze size in cells
    int height = 0;
    std::vector<int> cells;  // row after row; dots vanish as they are eaten
    std::vector<SpriteView> sprites;
    std::string message;  // the message line under the maze

    int Cell(int x, int y) const { return cells[size_t(y * width + x)]; }
};

enum class MonsterKind { Ordinary = 0, Boss = 1, Ghost = 2 };

struct MonsterFact {
    const void* id = nullptr;  // the same monster keeps it while it lives
    MonsterKind kind = MonsterKind::Ordinary;
    int x = 0;
    int y = 0;
    bool moving = false;  // active and not dying
};

struct Facts {
    bool playing = false;
    bool gameOver = false;
    bool gameComplete = false;
    int levelNumber = 0;
    int dotTotal = 0;
    int dotsEaten = 0;
    bool allDotsEaten = false;
    bool levelDone = false;
    int lives = 0;
    int playersAlive = 0;
    bool keyPlaced = false;
    bool gateOpen = false;  // some gate stands open now
    // The hero was caught in the last frame, by a monster of this kind
    // (-1: not caught).
    int caughtBy = -1;
    std::vector<MonsterFact> monsters;
    std::vector<SpriteView> heroes;  // live heroes (image and place)
};

class GameDriver {
public:
    // Starts the game on a program directory (with its trailing slash)
    // without sound or music. timerMs 0 keeps the frame interval of the
    // settings file.
    GameDriver(const std::string& programDir, int timerMs);
    ~GameDriver();
    GameDriver(const GameDriver&) = delete;
    GameDriver& operator=(const GameDriver&) = delete;

    int IntervalMs() const;
    int LevelCount() const;
    // The name of a level file and the width of "Level: " + name on the
    // status panel, in pixels, and the room the panel has for it.
    std::string LevelName(int level) const;
    int PanelNameWidth(const std::string& name) const;
    static int PanelRoom();

    // A level with this many lives, or a new game from level 1 (lives 0).
    // The seed decides the monsters' first directions and the bonus cells.
    void Start(int level, int lives, uint32_t seed);
    void Press(uint16_t key);
    // Holds fire for one frame: leaves a finished level for the next.
    void PressFire();
    // A key as a runner script's "F key K" line presses it: the key event
    // before the next frame, the key held through that frame.
    void PressAsScript(uint16_t key);
    void Frame();
    // Frames run since the game was shown: the next is frame FramesRun() + 1
    // of a runner script.
    int FramesRun() const;
    double Seconds() const;  // game time since Start

    Screen Look() const;
    Facts Inspect() const;
    // Message boxes the game showed (a broken level, a missing picture).
    const std::vector<std::string>& Messages() const;
    int Score() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace playtest
