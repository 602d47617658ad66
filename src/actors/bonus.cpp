// Bonuses, the key, gates and red balls.
#include "actors/bonus.h"

#include <cmath>
#include <memory>

#include "actors/enemy.h"
#include "actors/game.h"
#include "actors/player.h"
#include "game/globals.h"
#include "game/level.h"
#include "game/maze_geometry.h"
#include "game/services.h"
#include "game/tasks.h"
#include "platform/input.h"

namespace actors {

namespace vk = platform::vk;

namespace {

// How long the message of a taken bonus stays.
constexpr uint32_t kBonusMessageMs = 5000;
// Main-timer ticks (100 ms) the slow-monster bonus lasts.
constexpr int32_t kSlowTicks = 50;
// A qualifying sprite opens a gate within one and a half cell diagonals.
const double kGateReach = 1.5 * std::sqrt(2.0 * game::kCellSize * game::kCellSize);

engine::TSprite* Root() { return game::Services().SpriteRoot(); }

// The taker plays its walking picture again from the start.
void RestartAnimation(TPlayerSprite& player) {
    player.FirstPattern = 0;
    player.FramePos = 0;
    player.FrameSpeed = 1.0;
}

// Calls f for every monster among the top-level sprites.
template <typename F>
void ForEachMonster(F f) {
    engine::ForEachChild<TEnemySprite>(*Root(), f);
}

// ---- the effects ----------------------------------------------------------------

void ExtraScore() { game::State.Player.Score += 10000; }

void ExtraLife() {
    if (TGame* current = CurrentGame()) current->LifeCounter->AddLife();
}

void SlowEnd() {
    ForEachMonster([](TEnemySprite& monster) {
        monster.Slow = false;
        monster.FrameSpeed *= 2;
    });
}

void SlowMonsters() {
    ForEachMonster([](TEnemySprite& monster) {
        monster.Slow = true;
        monster.FrameSpeed *= 0.5;
    });
    TGame* current = CurrentGame();
    if (current == nullptr) return;
    // The level owns the task: the task list only refers to it and is
    // emptied, without freeing anything, when the level ends.
    auto task = std::make_unique<game::TTimerTask>(SlowEnd, game::Services().MainTick(), kSlowTicks, true);
    game::Services().ScheduleTask(task.get());
    current->SlowTasks.push_back(std::move(task));
}

void DoublePlayer() {
    ExtraLife();
    new TPlayerSprite(Root(), game::State.GameLevel.PlayerPoint.X, game::State.GameLevel.PlayerPoint.Y);
}

void KillAll() {
    if (TGame* current = CurrentGame()) current->Enemies->KillAllActive();
}

// The first active monster dies, and the level keeps one fewer of its kind
// for the rest of the level.
void KillOneForGood() {
    TGame* current = CurrentGame();
    if (current == nullptr) return;
    ForEachMonster([current](TEnemySprite& monster) {
        if (!monster.Active) return true;
        game::State.GameLevel.MonsterCount[monster.Kind] -= 1;
        current->Enemies->KillMonster(&monster);
        return false;
    });
}

void OppositeKeys() {
    switch (game::State.LastKey) {
        case vk::Right: game::State.LastKey = vk::Left; break;
        case vk::Left: game::State.LastKey = vk::Right; break;
        case vk::Down: game::State.LastKey = vk::Up; break;
        case vk::Up: game::State.LastKey = vk::Down; break;
        default: break;
    }
    TPlayerSprite* player = FindPlayer();
    if (player == nullptr) return;
    switch (player->Direction) {
        case DirLeft: player->Direction = DirRight; break;
        case DirRight: player->Direction = DirLeft; break;
        case DirDown: player->Direction = DirUp; break;
        case DirUp: player->Direction = DirDown; break;
        default: break;
    }
    player->SwapKeys();
}

void OpenDoors() {
    if (TGame* current = CurrentGame()) current->DoorsOpen = true;
}

// The lying picture's name is also the sound's.
struct BonusLook {
    const char* image;
    const char* takenImage;
    const char* message;
    void (*effect)();
};

// In the order of TBonusKind.
constexpr BonusLook kBonusKinds[BonusKindCount] = {
    {"BonusMoney", "Money", "Extra score", ExtraScore},
    {"BonusLife", "1Up", "Extra life", ExtraLife},
    {"BonusSlow", "Slow", "Monsters are now slow", SlowMonsters},
    {"BonusDouble", "Double", "Second player was added", DoublePlayer},
    {"BonusKillAll", "KillAll", "All monsters are killed", KillAll},
    {"BonusKill", "OneKilled", "One monster was killed forever", KillOneForGood},
    {"BonusKeyboard", "KeyboardChange", "Use opposite keys", OppositeKeys},
};

constexpr BonusLook kKeyBonus = {"BonusKey", "Key", "Now you can open doors", OpenDoors};

TBonusSprite* CreateBonus(const BonusLook& kind, int32_t x, int32_t y) {
    return new TBonusSprite(Root(), kind.image, kind.takenImage, kind.image, kind.message, x, y, kind.effect);
}

}  // namespace

// ---- TBonusSprite -------------------------------------------------------------------

TBonusSprite::TBonusSprite(engine::TSprite* root, const std::string& imageName,
                           const std::string& takenImageName, const std::string& soundName,
                           const std::string& message, int32_t x, int32_t y, std::function<void()> effect)
    : TXSprite(root), Effect(std::move(effect)), Message(message), SoundName(soundName) {
    Permanent = false;
    ShowImage(*this, FindImage(imageName));
    X = game::CellToPixel(x);
    Y = game::CellToPixel(y);
    SetZ(3);
    FrameSpeed = 0.25;
    Looping = true;
    DeathImage = FindImage(takenImageName);
    DeathSpeed = 0.25;
}

void TBonusSprite::Step(int moveCount) {
    TXSprite::Step(moveCount);
    Collide();
}

void TBonusSprite::HandleCollision(engine::TSprite* other, bool&) {
    auto* player = dynamic_cast<TPlayerSprite*>(other);
    // A collision pass goes on past a hit that ended the bonus, so a second
    // player touching it in the same step must not take it again.
    if (player == nullptr || IsDying) return;
    game::Services().ShowOnMessageLine(Message, kBonusMessageMs);
    game::Services().PlaySound(SoundName);
    game::State.Player.Bonuses += 1;
    StartDeath();
    RestartAnimation(*player);
    if (Effect) Effect();
}

void SpawnBonus(int kind) {
    engine::ForEachChild<TBonusSprite>(*Root(), [](TBonusSprite& bonus) {
        if (!bonus.Permanent) bonus.Kill();
    });
    int32_t x = 0;
    int32_t y = 0;
    if (!FindFreeCell(game::State.GameLevel, x, y)) return;
    if (kind < bkMoney || kind >= bkMoney + BonusKindCount) return;
    if (kind == bkDouble && game::State.PlayersAlive >= 2) return;
    CreateBonus(kBonusKinds[kind - bkMoney], x, y);
}

TBonusSprite* CreateKeyBonus(int32_t x, int32_t y) {
    TBonusSprite* key = CreateBonus(kKeyBonus, x, y);
    key->Permanent = true;
    return key;
}

// ---- TGateSprite ----------------------------------------------------------------------

TGateSprite::TGateSprite(engine::TSprite* root, int32_t x, int32_t y, int32_t code)
    : engine::TImageSprite(root) {
    const bool horizontal = code == game::CellGateHoriz;
    ShutImage = FindImage(horizontal ? "GateHorizShut" : "GateVertShut");
    OpenImage = FindImage(horizontal ? "GateHorizOpen" : "GateVertOpen");
    X = game::CellToPixel(x);
    Y = game::CellToPixel(y);
    SetZ(2);
    ShowImage(*this, ShutImage);
    FrameSpeed = 0.125;
    Looping = false;
    FramePos = 0;
    IsOpen = false;
    WasNear = false;
}

void TGateSprite::Step(int moveCount) {
    engine::TImageSprite::Step(moveCount);

    // Only a player holding the key opens a gate; a monster can only keep an
    // open one open.
    TGame* current = CurrentGame();
    const bool doorsOpen = current != nullptr && current->DoorsOpen;
    const double cx = X + Width * 0.5;
    const double cy = Y + Height * 0.5;
    bool near = false;
    engine::ForEachChild(*Root(), [&](engine::TSprite& sprite) {
        const bool qualifies = (IsOpen && engine::SpriteAs<TEnemySprite>(&sprite) != nullptr) ||
                               (doorsOpen && engine::SpriteAs<TPlayerSprite>(&sprite) != nullptr);
        if (!qualifies) return;
        const double dx = sprite.X + sprite.Width * 0.5 - cx;
        const double dy = sprite.Y + sprite.Height * 0.5 - cy;
        if (std::sqrt(dx * dx + dy * dy) < kGateReach) near = true;
    });

    // The opening or shutting animation plays once and stays on its last
    // pattern.
    auto show = [this](const media::ImageEntry* image) {
        Image = image;
        FrameCount = image->PatternCount();
        FramePos = 0;
        FirstPattern = 0;
        FrameSpeed = 0.5;
    };
    if (WasNear && !near) {
        IsOpen = false;
        show(ShutImage);
    }
    if (near && !WasNear) {
        IsOpen = true;
        show(OpenImage);
    }
    WasNear = near;

    if (current != nullptr) {
        const int cellX = game::PixelToCell(X);
        const int cellY = game::PixelToCell(Y);
        current->GateMarks[cellY + 1][cellX + 1] = IsOpen ? 0 : 1;
    }
}

// ---- TRedBallSprite ---------------------------------------------------------------------

TRedBallSprite::TRedBallSprite(engine::TSprite* root, int32_t x, int32_t y) : engine::TImageSprite(root) {
    ShowImage(*this, FindImage("RedBall"));
    X = game::CellToPixel(x);
    Y = game::CellToPixel(y);
    SetZ(1);
    FrameSpeed = 0.25;
    Looping = true;
    FramePos = 0;
}

void TRedBallSprite::Step(int moveCount) {
    engine::TImageSprite::Step(moveCount);
    Collide();
}

void TRedBallSprite::HandleCollision(engine::TSprite* other, bool&) {
    auto* player = dynamic_cast<TPlayerSprite*>(other);
    // Eaten once, even when two players touch it in the same step.
    if (player == nullptr || IsDead()) return;
    game::Services().PlaySound("RedBallEaten");
    if (TGame* current = CurrentGame()) current->Enemies->MakeVictims();
    RestartAnimation(*player);
    // The cell keeps its red-ball code; only the sprite goes.
    Kill();
}

}  // namespace actors
