// A level on a small hand-made maze with every picture and sound the actors
// use made in memory, for the tests of the monsters, bonuses, gates and red
// balls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "actor_fixture.h"
#include "actors/enemy_kinds.h"
#include "game/level.h"
#include "game/tasks.h"

namespace actors_test {

// Surface position of a cell's top-left corner.
constexpr double At(int cell) { return 32.0 * cell + 20; }

class MazeFixture : public ActorFixture {
protected:
    void SetUp() override {
        ActorFixture::SetUp();
        game::State.StartOptions.NoMidi = true;
        for (const char* name : {"Appearence", "PUp", "PDown", "PLeft", "PRight", "Death", "ChomperHappy",
                                 "ChomperLife", "Dot", "RedBall"}) {
            AddImage(name, 2);
        }
        for (const char* kind : {"Enemy", "Victim", "Boss", "Ghost"}) {
            for (const char* way : {"Up", "Right", "Down", "Left"}) AddImage(std::string(kind) + way, 2);
        }
        for (const char* kind : {"Enemy", "Boss", "Ghost"}) {
            AddImage(std::string(kind) + "Appearence", 4);
            AddImage(std::string(kind) + "Death", 4);
        }
        for (const char* name : {"GateHorizShut", "GateHorizOpen", "GateVertShut", "GateVertOpen"})
            AddImage(name, 4);
        for (const char* name : {"BonusMoney", "BonusLife", "BonusSlow", "BonusDouble", "BonusKillAll",
                                 "BonusKill", "BonusKeyboard", "BonusKey"}) {
            AddImage(name, 2);
            services_.AddSound(name);
        }
        for (const char* name :
             {"Money", "1Up", "Slow", "Double", "KillAll", "OneKilled", "KeyboardChange", "Key"}) {
            AddImage(name, 3);
        }
        for (const char* name : {"Victim", "RedBallEaten", "EatDot", "Death", "LevelComplete"})
            services_.AddSound(name);
    }

    // Starts level 1 on this maze: '.' floor with a dot, '_' empty floor, '#'
    // wall, 'I' and 'J' gates, 'D' a red ball. The player starts at (playerX, playerY); the
    // level keeps no monsters unless `general` (read first) says so.
    void StartGame(const std::vector<std::string>& rows, int playerX, int playerY,
                   const std::string& general = "") {
        std::vector<std::string> codes;
        for (std::string row : rows) {
            for (char& c : row) c = c == '.' ? 'A' : c == '#' ? 'B' : c == '_' ? 'C' : c;
            codes.push_back(row);
        }
        WriteLevel(1,
                   "PlayerPointX=" + std::to_string(playerX) + "\nPlayerPointY=" + std::to_string(playerY) +
                       "\n" + general + "\nEnemyCount=0\nBossCount=0\nGhostCount=0",
                   codes);
        game::State.Lives = 3;
        StartLevel(1);
    }

    template <typename T>
    T* Active(int cellX, int cellY, uint8_t direction) {
        auto* monster = new T(root_, cellX, cellY);
        monster->Activate();
        monster->Direction = direction;
        return monster;
    }

    static void Place(engine::TSprite& sprite, double x, double y) {
        sprite.X = x;
        sprite.Y = y;
    }
};

}  // namespace actors_test
