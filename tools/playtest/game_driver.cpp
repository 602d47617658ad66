#include "game_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "actors/bonus.h"
#include "actors/enemy.h"
#include "actors/enemy_kinds.h"
#include "actors/game.h"
#include "actors/player.h"
#include "engine/image_sprite.h"
#include "game/globals.h"
#include "game/level.h"
#include "platform/headless/headless_backend.h"
#include "shell/boot.h"
#include "shell/main_form.h"
#include "widgets/message_line.h"
#include "widgets/style.h"

namespace playtest {

struct GameDriver::Impl {
    // The headless backend with the loop in the playtest's hands: one call,
    // one frame, with keys pressed in between as the bot decides.
    platform::HeadlessBackend machine{platform::HeadlessBackend::Options{}};
    platform::Platform media{machine};
    std::unique_ptr<shell::TMainForm> form;
    uint32_t startedAt = 0;
    int caughtBy = -1;

    engine::TSprite* Root() const { return form->Sprites().Root(); }
};

GameDriver::GameDriver(const std::string& programDir, int timerMs) : impl_(std::make_unique<Impl>()) {
    shell::TBootOptions boot;
    boot.programDir = programDir;
    boot.startOptions.NoSound = true;
    boot.startOptions.NoMidi = true;
    boot.frameIntervalMs = uint32_t(std::max(0, timerMs));
    impl_->form = shell::Boot(impl_->media, boot);
}

GameDriver::~GameDriver() = default;

int GameDriver::IntervalMs() const { return int(impl_->form->Media().Clock().Interval()); }

int GameDriver::LevelCount() const { return game::State.LevelCount; }

std::string GameDriver::LevelName(int level) const {
    game::TLevel file;
    char name[32];
    std::snprintf(name, sizeof name, "Levels/Level%02d.map", level);
    if (game::LoadLevel(game::Setup.ProgramDir + name, file) != game::LevelLoadResult::Ok)
        return std::string();
    return file.Name;
}

int GameDriver::PanelNameWidth(const std::string& name) const {
    return impl_->media.TextWidth("Level: " + name, widgets::kShotgunFace, widgets::kStatusPanelPoints);
}

int GameDriver::PanelRoom() { return platform::kDisplayWidth - game::kStatusPanelX; }

void GameDriver::Start(int level, int lives, uint32_t seed) {
    shell::TMainForm& form = *impl_->form;
    platform::HeadlessBackend& machine = impl_->machine;
    game::State.RandSeed = seed;
    machine.SetMillisOfDay(int64_t(seed % 86400000u));
    // The main timer starts its count with the level, whatever ran before.
    form.RestartMainTimer();
    game::State.CurrentLevel = level - 1;
    if (lives > 0) game::State.Lives = lives;
    form.SetScreenState(shell::scGame);
    impl_->startedAt = machine.Now();
    impl_->caughtBy = -1;
}

void GameDriver::Press(uint16_t key) { impl_->machine.PressKey(*impl_->form, key); }

void GameDriver::PressFire() { impl_->machine.HoldFire(true); }

void GameDriver::PressAsScript(uint16_t key) {
    impl_->machine.PressKey(*impl_->form, key);
    impl_->machine.HoldForNextFrame(key);
}

int GameDriver::FramesRun() const { return impl_->machine.Frame(); }

int GameDriver::Score() const { return game::State.Player.Score; }

void GameDriver::Frame() {
    impl_->machine.AdvanceFrame(*impl_->form);
    impl_->machine.HoldFire(false);
    // A caught hero starts its death countdown at 20 in the frame it is caught.
    impl_->caughtBy = -1;
    if (!impl_->form->Level()) return;
    engine::TSprite* root = impl_->Root();
    for (int i = 0; i < root->ChildCount(); ++i) {
        const auto* player = dynamic_cast<const actors::TPlayerSprite*>(root->Child(i));
        if (!player || player->DeathCountdown != 20) continue;
        // The catcher is the dangerous monster nearest to the hero.
        double best = 1e18;
        for (int j = 0; j < root->ChildCount(); ++j) {
            const auto* monster = dynamic_cast<const actors::TEnemySprite*>(root->Child(j));
            if (!monster || !monster->Active || monster->IsDying || monster->IsDead()) continue;
            const auto* ordinary = dynamic_cast<const actors::TBasicEnemy*>(monster);
            if (ordinary && !ordinary->Hunting) continue;
            const double d = std::hypot(monster->X - player->X, monster->Y - player->Y);
            if (d < best) {
                best = d;
                impl_->caughtBy = monster->Kind;
            }
        }
    }
}

double GameDriver::Seconds() const { return (impl_->machine.Now() - impl_->startedAt) / 1000.0; }

Screen GameDriver::Look() const {
    Screen screen;
    const shell::TMainForm& form = *impl_->form;
    screen.playing = form.Screen() == shell::scGame && form.Level() != nullptr;
    if (!screen.playing) return screen;
    const game::TLevel& level = game::State.GameLevel;
    screen.width = level.MapWidth;
    screen.height = level.MapHeight;
    screen.cells.reserve(size_t(level.MapWidth * level.MapHeight));
    for (int y = 0; y < level.MapHeight; ++y) {
        for (int x = 0; x < level.MapWidth; ++x) screen.cells.push_back(game::GetCell(level, x, y));
    }
    engine::TSprite* root = impl_->Root();
    for (int i = 0; i < root->ChildCount(); ++i) {
        const auto* sprite = dynamic_cast<const engine::TImageSprite*>(root->Child(i));
        if (!sprite || sprite->IsDead() || !sprite->Visible || !sprite->Image) continue;
        screen.sprites.push_back(
            {sprite->Image->Name(), int(std::trunc(sprite->X)), int(std::trunc(sprite->Y))});
    }
    screen.message = form.MessageText();
    return screen;
}

Facts GameDriver::Inspect() const {
    Facts facts;
    const shell::TMainForm& form = *impl_->form;
    facts.gameOver = form.Screen() == shell::scGameOver;
    facts.gameComplete = form.Screen() == shell::scGameComplete;
    facts.lives = game::State.Lives;
    facts.playersAlive = game::State.PlayersAlive;
    facts.caughtBy = impl_->caughtBy;
    const actors::TGame* level = form.Level();
    facts.playing = form.Screen() == shell::scGame && level != nullptr;
    if (!facts.playing) return facts;
    facts.levelNumber = level->LevelNumber;
    facts.dotTotal = level->DotTotal;
    facts.dotsEaten = level->DotsEaten;
    facts.allDotsEaten = level->AllDotsEaten;
    facts.levelDone = level->LevelDone;
    facts.keyPlaced = level->KeyPlaced;
    engine::TSprite* root = impl_->Root();
    for (int i = 0; i < root->ChildCount(); ++i) {
        const engine::TSprite* sprite = root->Child(i);
        if (sprite->IsDead()) continue;
        if (const auto* player = dynamic_cast<const actors::TPlayerSprite*>(sprite)) {
            if (player->DeathCountdown < 0)
                facts.heroes.push_back({std::string(), int(player->X), int(player->Y)});
        } else if (const auto* gate = dynamic_cast<const actors::TGateSprite*>(sprite)) {
            facts.gateOpen = facts.gateOpen || gate->IsOpen;
        } else if (const auto* monster = dynamic_cast<const actors::TEnemySprite*>(sprite)) {
            facts.monsters.push_back({monster, MonsterKind(monster->Kind), int(monster->X), int(monster->Y),
                                      monster->Active && !monster->IsDying});
        }
    }
    return facts;
}

const std::vector<std::string>& GameDriver::Messages() const { return impl_->machine.Messages(); }

}  // namespace playtest
