#include "actors/player.h"

#include <cmath>

#include "actors/enemy_kinds.h"
#include "actors/game.h"
#include "game/globals.h"
#include "game/level.h"
#include "game/maze_geometry.h"
#include "game/passwords.h"
#include "game/services.h"

namespace actors {

namespace {

using game::kMazeOrigin;

constexpr int32_t kSpeed = 8;
constexpr int32_t kDeathFrames = 20;  // steps from being caught to leaving the maze
constexpr uint32_t kReadyMs = 2000;
constexpr uint32_t kPasswordMs = 10000;

// The cells under the corners of a sprite of w x h at (x, y), shrunk by one
// pixel on every side: one cell in each direction only when it fills a cell
// exactly.
struct CornerCells {
    int32_t left, right, top, bottom;
};

CornerCells CornersAt(double x, double y, int32_t w, int32_t h) {
    const int32_t px = game::MazeOffset(x);
    const int32_t py = game::MazeOffset(y);
    return {(px + 1) / w, (px + w - 1) / w, (py + 1) / h, (py + h - 1) / h};
}

}  // namespace

TPlayerSprite::TPlayerSprite(engine::TSprite* parent, int32_t cellX, int32_t cellY) : TXSprite(parent) {
    game::Services().ShowOnMessageLine("Ready!", kReadyMs);
    ShowImage(*this, FindImage("Appearence"));
    X = game::CellToPixel(cellX);
    Y = game::CellToPixel(cellY);
    SetZ(2);
    FrameSpeed = 1.0 / 6;
    FramePos = 0;
    Looping = false;
    Direction = DirNone;
    game::State.LastKey = 0;  // the new player waits for a key
    Speed = kSpeed;
    ++game::State.PlayersAlive;
    DeathCountdown = -1;
}

void TPlayerSprite::Step(int moveCount) {
    if (DeathCountdown == 0) {
        RemovePlayer();
        DeathCountdown = -1;
    }
    if (DeathCountdown > 0) --DeathCountdown;

    TXSprite::Step(moveCount);
    Collide();

    if (X < kMazeOrigin) X = kMazeOrigin + game::State.WrapMaxX;
    if (X > kMazeOrigin + game::State.WrapMaxX) X = kMazeOrigin;
    if (Y < kMazeOrigin) Y = kMazeOrigin + game::State.WrapMaxY;
    if (Y > kMazeOrigin + game::State.WrapMaxY) Y = kMazeOrigin;

    Eat();

    if (Speed == 0) return;

    // Turning only where the player fills one cell, so it always walks the
    // middle of a corridor; bumping into the other player frees it at once.
    const CornerCells here = CornersAt(X, Y, Width, Height);
    if ((here.left == here.right && here.top == here.bottom) || BlockedByPlayer) {
        const uint16_t key = game::State.LastKey;
        if (key == KeyUp && CanMoveTo(X, Y - Speed)) {
            Direction = DirUp;
        } else if (key == KeyDown && CanMoveTo(X, Y + Speed)) {
            Direction = DirDown;
        } else if (key == KeyRight && CanMoveTo(X + Speed, Y)) {
            Direction = DirRight;
        } else if (key == KeyLeft && CanMoveTo(X - Speed, Y)) {
            Direction = DirLeft;
        }
    }

    double nextX = X;
    double nextY = Y;
    const char* imageName = nullptr;
    switch (Direction) {
        case DirUp:
            nextY -= Speed;
            imageName = "PUp";
            break;
        case DirDown:
            nextY += Speed;
            imageName = "PDown";
            break;
        case DirRight:
            nextX += Speed;
            imageName = "PRight";
            break;
        case DirLeft:
            nextX -= Speed;
            imageName = "PLeft";
            break;
        default: break;
    }
    if (imageName && CanMoveTo(nextX, nextY)) {
        X = nextX;
        Y = nextY;
        Image = FindImage(imageName);  // the size stays that of the first picture
    }

    FrameCount = Image ? Image->PatternCount() : 0;
}

void TPlayerSprite::Eat() {
    TGame* level = CurrentGame();
    if (!level) return;  // dots count only while a level is being played

    // The mouth sits one eighth of the size behind the centre, so a dot goes
    // only when the player has come well into its cell.
    double mouthX = X + Width / 2.0;
    double mouthY = Y + Height / 2.0;
    switch (Direction) {
        case DirUp: mouthY += Height / 8.0; break;
        case DirDown: mouthY -= Height / 8.0; break;
        case DirLeft: mouthX += Width / 8.0; break;
        case DirRight: mouthX -= Width / 8.0; break;
        default: break;
    }
    const int32_t column = game::PixelToCell(mouthX);
    const int32_t row = game::PixelToCell(mouthY);
    // GetCell reads walls beyond the stored grid, so the write below stays inside it.
    if (game::GetCell(game::State.GameLevel, column, row) == game::CellDot) {
        game::State.Player.Score += 10;
        game::State.GameLevel.Map[row + 1][column + 1] = game::CellEmpty;
        if (DotsLayer) DotsLayer->SetCell(column, row, -1);
        ++level->DotsEaten;
        game::Services().PlaySound("EatDot");
        if (level->DotsEaten == level->DotTotal) {
            level->AllDotsEaten = true;
            // Caught in this very step, the hero still ends the level: its
            // happy animation outlasts the death countdown, and taking it
            // away first would leave a level that never ends.
            DeathCountdown = -1;
            Direction = DirNone;
            CanCollide = false;
            Speed = 0;
            PlayOnce(
                "ChomperHappy", 0, [this] { OnLevelComplete(); }, 0.25);
            game::Services().PlaySound("LevelComplete");
            level->Enemies->RemoveAll();
        } else {
            FrameSpeed = 1.0;  // chewing
        }
        FirstPattern = 0;
        FramePos = 0;
        FrameCount = Image ? Image->PatternCount() : 0;
    }
}

bool TPlayerSprite::CanMoveTo(double x, double y) {
    const TGame* level = CurrentGame();
    const bool doorsOpen = level && level->DoorsOpen;
    const CornerCells c = CornersAt(x, y, Width, Height);
    bool free = true;
    for (const int32_t column : {c.left, c.right}) {
        for (const int32_t row : {c.top, c.bottom}) {
            const int32_t code = game::GetCell(game::State.GameLevel, column, row);
            const bool gate = code == game::CellGateHoriz || code == game::CellGateVert;
            if (code == game::CellWall || (gate && !doorsOpen)) free = false;
        }
    }

    // Try the place and see whether another player stands there.
    BlockedByPlayer = false;
    const double oldX = X;
    const double oldY = Y;
    X = x;
    Y = y;
    const media::Rect bounds = GetBounds();
    engine::ForEachChild<TPlayerSprite>(*game::Services().SpriteRoot(), [&](TPlayerSprite& other) {
        if (&other != this && media::Overlaps(other.GetBounds(), bounds)) {
            free = false;
            BlockedByPlayer = true;
        }
    });
    X = oldX;
    Y = oldY;
    return free;
}

void TPlayerSprite::HandleCollision(engine::TSprite* other, bool&) {
    // The pass goes on after a catch; one contact costs one life only.
    if (!CanCollide) return;
    auto* monster = dynamic_cast<TEnemySprite*>(other);
    if (!monster || !monster->Active) return;
    TGame* level = CurrentGame();
    if (!level) return;

    auto* ordinary = dynamic_cast<TBasicEnemy*>(monster);
    if (ordinary && !ordinary->Hunting) {
        FrameSpeed = 1.0;
        FirstPattern = 0;
        FramePos = 0;
        FrameCount = Image ? Image->PatternCount() : 0;
        level->Enemies->KillMonster(ordinary);
        return;
    }

    level->LifeCounter->RemoveLife();
    game::Services().PlaySound("Death");
    Image = FindImage("Death");
    FrameCount = Image->PatternCount();
    FrameSpeed = 0.25;
    FramePos = 0;
    Looping = false;
    DeathCountdown = kDeathFrames;
    CanCollide = false;
    Speed = 0;
}

void TPlayerSprite::SwapKeys() {
    std::swap(KeyLeft, KeyRight);
    std::swap(KeyUp, KeyDown);
}

void TPlayerSprite::RemovePlayer() {
    TGame* level = CurrentGame();
    // The monsters leave with the last player and come back through the spawn.
    if (game::State.PlayersAlive == 1 && level) level->Enemies->RemoveAll();
    --game::State.PlayersAlive;
    Kill();
}

void TPlayerSprite::OnLevelComplete() {
    TGame* level = CurrentGame();
    if (!level) return;
    level->LevelDone = true;
    game::Services().AddCenteredImage("LevelComplete", 5);
    // Levels 6, 12, 18 and 24 announce the password of the level after them;
    // the table has no password beyond that, so later levels announce none.
    const int32_t n = level->LevelNumber;
    if (n > 0 && n % game::LevelsPerPassword == 0 &&
        size_t(n / game::LevelsPerPassword) <= game::LevelPasswords.size()) {
        const std::string_view password = game::LevelPasswords[size_t(n / game::LevelsPerPassword) - 1];
        game::Services().ShowOnMessageLine("Password for the next level: " + std::string(password),
                                           kPasswordMs);
    }
}

}  // namespace actors
