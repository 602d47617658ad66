// The actors on fake services instead of a main window: a temporary program
// directory for level files, pictures made in memory, and the main timer's
// tick driven by the test.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "actors/enemy.h"
#include "actors/game.h"
#include "actors/player.h"
#include "engine/image_sprite.h"
#include "game/globals.h"
#include "game/random.h"
#include "support/fake_services.h"
#include "support/program_fixture.h"

namespace actors_test {

class ActorFixture : public testing_support::ProgramFixture {
protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        // The fake's time of day stands still at midnight.
        game::SetRandomClock([] { return int64_t(0); });
        root_ = services_.Sprites().Root();
    }

    void TearDown() override {
        game_.reset();
        services_.Tasks.Clear();
        ProgramFixture::TearDown();
    }

    media::ImageEntry& AddImage(const std::string& name, int patterns = 1, int w = 32, int h = 32) {
        return testing_support::AddTestImage(services_.Images(), name, patterns, w, h);
    }
    // The sounds played so far, one line each ("sound EatDot").
    std::string Events() const { return services_.Log(); }

    // Level `number` starts on the files written for it; a level started
    // before ends first, as leaving the game screen does.
    void StartLevel(int number) {
        game_.reset();
        services_.Tasks.Clear();
        game_ = std::make_unique<actors::TGame>(number);
    }

    // Ticks of the main timer as the game screen runs them: the scheduled
    // tasks, then victim time.
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            ++services_.Tick;
            services_.Tasks.Run();
            if (game_) game_->Enemies->TickVictims();
        }
    }

    // The sprite tree moves one step and the killed sprites go.
    void Step(int steps = 1) {
        for (int i = 0; i < steps; ++i) {
            services_.Sprites().Move(1);
            services_.Sprites().SweepDead();
        }
    }

    actors::TPlayerSprite& Player() {
        actors::TPlayerSprite* player = actors::FindPlayer();
        if (!player) throw std::runtime_error("no player");
        return *player;
    }

    // The top-level sprites of one class.
    template <typename T>
    std::vector<T*> All() {
        std::vector<T*> found;
        engine::ForEachChild<T>(*root_, [&found](T& sprite) { found.push_back(&sprite); });
        return found;
    }

    // The top-level sprites that show the named picture, not killed.
    std::vector<engine::TSprite*> SpritesWithImage(const std::string& name) {
        std::vector<engine::TSprite*> found;
        const media::ImageEntry* image = &services_.Image(name);
        for (auto* sprite : All<engine::TImageSprite>()) {
            if (sprite->Image == image && !sprite->IsDead()) found.push_back(sprite);
        }
        return found;
    }

    testing_support::FakeServices services_;
    // Made after the services, so it goes first.
    std::unique_ptr<actors::TGame> game_;
    engine::TSpriteEngine* root_ = nullptr;
};

}  // namespace actors_test
