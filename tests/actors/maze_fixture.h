// A level on a small hand-made maze with every picture and sound the actors
// use made in memory, for the tests of the monsters, bonuses, gates and red
// balls.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "actors/enemy_kinds.h"
#include "actors/game.h"
#include "actors/player.h"
#include "game/globals.h"
#include "game/level.h"
#include "game/tasks.h"
#include "support/game_fixture.h"
#include "support/level_fixture.h"

namespace actors_test {

// Surface position of a cell's top-left corner.
constexpr double At(int cell) { return 32.0 * cell + 20; }

class MazeFixture : public testing_support::GameFixture {
protected:
    void SetUp() override {
        GameFixture::SetUp();
        root_ = form_->DXSpriteEngine.Root();
        game::StartOptions.NoMidi = true;
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
            AddSound(name);
        }
        for (const char* name :
             {"Money", "1Up", "Slow", "Double", "KillAll", "OneKilled", "KeyboardChange", "Key"}) {
            AddImage(name, 3);
        }
        for (const char* name : {"Victim", "RedBallEaten", "EatDot", "Death", "LevelComplete"})
            AddSound(name);
    }

    void TearDown() override {
        // The level ends while the main window is still there.
        form_->Game.reset();
        form_->TimerManager->Clear();
        GameFixture::TearDown();
    }

    void AddSound(const std::string& name) {
        form_->DXWaveList.Add(name, std::make_shared<platform::Wave>(std::vector<uint8_t>{}));
    }

    // Starts level 1 on this maze: '.' floor with a dot, '_' empty floor, '#'
    // wall, 'I' and 'J' gates, 'D' a red ball. The player starts at (playerX, playerY); the
    // level keeps no monsters unless `general` (read first) says so.
    void StartGame(const std::vector<std::string>& rows, int playerX, int playerY,
                   const std::string& general = "") {
        std::string text = "[General]\nMapWidth=" + std::to_string(rows[0].size()) +
                           "\nMapHeight=" + std::to_string(rows.size()) +
                           "\nPlayerPointX=" + std::to_string(playerX) +
                           "\nPlayerPointY=" + std::to_string(playerY) + "\n" + general +
                           "\nEnemyCount=0\nBossCount=0\nGhostCount=0\n[Map]\n";
        for (std::string row : rows) {
            for (char& c : row) c = c == '.' ? 'A' : c == '#' ? 'B' : c == '_' ? 'C' : c;
            text += row + "\n";
        }
        WriteFile("Levels/Level01.map", text);
        WriteFile("Levels/Level01.bmp", testing_support::Bitmap(8, 8));
        // A level started before ends first, as leaving the game screen does.
        form_->Game.reset();
        form_->TimerManager->Clear();
        game::Lives = 3;
        form_->Game = std::make_unique<actors::TGame>(1);
        game_ = form_->Game.get();
    }

    actors::TPlayerSprite& Player() { return *actors::FindPlayer(); }

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

    // The top-level sprites of one class.
    template <typename T>
    std::vector<T*> All() {
        std::vector<T*> found;
        for (int i = 0; i < root_->ChildCount(); ++i) {
            if (auto* sprite = dynamic_cast<T*>(root_->Child(i))) found.push_back(sprite);
        }
        return found;
    }

    engine::TSpriteEngine* root_ = nullptr;
    actors::TGame* game_ = nullptr;
};

}  // namespace actors_test
