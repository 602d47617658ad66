#include "actors/game.h"

#include <cmath>

#include "actors/bonus.h"
#include "actors/enemy.h"
#include "actors/player.h"
#include "game/globals.h"
#include "game/maze_geometry.h"
#include "game/random.h"
#include "game/services.h"

namespace actors {

namespace {

// The level's picture as a catalogue entry names it: below the program
// directory for the shipped set, the whole path for another set.
std::string BackgroundFile(const std::string& digits) {
    if (game::Setup.LevelSetDir.empty()) return "\\Levels\\Level" + digits + ".bmp";
    return game::Setup.LevelSetDir + "Level" + digits + ".bmp";
}

}  // namespace

using namespace game;

TSetDotsSprite* DotsLayer = nullptr;

namespace {

TGame* current = nullptr;

// The first life icon.
constexpr int32_t kLivesX = 620;
constexpr int32_t kLivesY = 250;
constexpr int32_t kLivesPerRow = 5;
constexpr int32_t kSpawnPeriodTicks = 30;
// Marks a cell of the scratch map as taken, whatever it held.
constexpr int32_t kTakenCell = 100;
// The key lies in the maze from about half of the dots on.
constexpr int32_t kKeyFromPercent = 49;
constexpr int32_t kKeyToPercent = 51;

engine::TSprite* Root() { return Services().SpriteRoot(); }

// Writes into the stored grid only: cells beyond the ring are not stored.
void MarkCell(TMazeMap& map, int32_t x, int32_t y) {
    if (x + 1 < 0 || x + 1 >= MapColumns || y + 1 < 0 || y + 1 >= MapRows) return;
    map.Map[y + 1][x + 1] = kTakenCell;
}

}  // namespace

// ---- life icons ---------------------------------------------------------

TLifeCounter::TLifeCounter(int32_t originX, int32_t originY, int32_t perRow, int32_t count)
    : IconImage(&Services().Image("ChomperLife")), OriginX(originX), OriginY(originY), PerRow(perRow) {
    for (int32_t i = 0; i < count; ++i) AddLife();
}

void TLifeCounter::AddLife() {
    auto* icon = new engine::TImageSprite(Root());
    icon->Image = IconImage;
    icon->Width = IconImage->PatternWidth();
    icon->Height = IconImage->PatternHeight();
    icon->X = (game::State.Lives % PerRow) * icon->Width + OriginX;
    icon->Y = (game::State.Lives / PerRow) * icon->Height + OriginY;
    ++game::State.Lives;
}

void TLifeCounter::RemoveLife() {
    --game::State.Lives;
    const double x = (game::State.Lives % PerRow) * IconImage->PatternWidth() + OriginX;
    const double y = (game::State.Lives / PerRow) * IconImage->PatternHeight() + OriginY;
    engine::ForEachChild(*Root(), [x, y](engine::TSprite& sprite) {
        if (std::nearbyint(sprite.X) == x && std::nearbyint(sprite.Y) == y) sprite.Kill();
    });
}

// ---- dots layer ---------------------------------------------------------

TSetDotsSprite::TSetDotsSprite(engine::TSprite* parent) : engine::TBackgroundSprite(parent) {
    Image = &Services().Image("Dot");
    SetMapSize(MaxMapWidth, MaxMapHeight);
    X = kMazeOrigin;
    Y = kMazeOrigin;
    SetZ(1);
    Wrap = true;
    for (int32_t y = 0; y < MaxMapHeight; ++y) {
        for (int32_t x = 0; x < MaxMapWidth; ++x)
            SetCell(x, y, GetCell(game::State.GameLevel, x, y) == CellDot ? 0 : -1);
    }
}

// ---- the level ----------------------------------------------------------

TGame::TGame(int32_t levelNumber) : LevelNumber(levelNumber), spriteRoot_(Root()) {
    TServices& services = Services();
    engine::TSprite* root = spriteRoot_;

    if (levelNumber == 1)
        game::State.Player.Score = game::State.Player.Monsters = game::State.Player.Bonuses = 0;
    Enemies = std::make_unique<TEnemyCollection>(root);

    // What stays when the file cannot be read: a closed maze. The ring is
    // closed too, so nothing of an earlier level shows through.
    game::State.GameLevel.MapWidth = MaxMapWidth;
    game::State.GameLevel.MapHeight = MaxMapHeight;
    for (auto& row : game::State.GameLevel.Map) {
        for (int32_t& cell : row) cell = CellWall;
    }

    const std::string digits = LevelDigits(levelNumber);
    const std::string path = game::LevelsFolder() + "Level" + digits + ".map";
    switch (LoadLevel(path, game::State.GameLevel)) {
        case LevelLoadResult::Ok: break;
        case LevelLoadResult::CantOpen: services.ShowMessage("Can't open file " + path); break;
        case LevelLoadResult::BadFile:
            // The window closes; the level stays the closed maze above.
            services.ShowMessage("Error file " + path);
            services.Close();
            break;
    }

    // Column by column, as the level's sprites are created in this order.
    DotTotal = 0;
    for (int32_t x = 0; x < game::State.GameLevel.MapWidth; ++x) {
        for (int32_t y = 0; y < game::State.GameLevel.MapHeight; ++y) {
            const int32_t code = GetCell(game::State.GameLevel, x, y);
            if (code == CellDot) {
                ++DotTotal;
            } else if (code == CellRedBall) {
                new TRedBallSprite(root, x, y);
            } else if (code == CellGateHoriz || code == CellGateVert) {
                new TGateSprite(root, x, y, code);
            }
        }
    }

    // The background picture belongs to the level: the entry of the previous
    // level (kept when the game screen is entered again) is replaced.
    // A picture that failed to load has been reported and the window closes.
    const media::ImageEntry* picture =
        services.ReplaceImage("Background=" + BackgroundFile(digits) + "," +
                              std::to_string(game::State.GameLevel.MapWidth * kCellSize) + "," +
                              std::to_string(game::State.GameLevel.MapHeight * kCellSize));
    if (picture) {
        auto* background = new engine::TImageSprite(root);
        background->Image = picture;
        background->Width = background->Image->PatternWidth();
        background->Height = background->Image->PatternHeight();
        background->X = kMazeOrigin;
        background->Y = kMazeOrigin;
        background->SetZ(-1);
    }

    DotsLayer = new TSetDotsSprite(root);
    new TPlayerSprite(root, game::State.GameLevel.PlayerPoint.X, game::State.GameLevel.PlayerPoint.Y);

    // The counter rebuilds Lives together with the icons.
    const int32_t lives = game::State.Lives;
    game::State.Lives = 0;
    LifeCounter = std::make_unique<TLifeCounter>(kLivesX, kLivesY, kLivesPerRow, lives);

    game::State.WrapMaxX = (game::State.GameLevel.MapWidth - 1) * kCellSize;
    game::State.WrapMaxY = (game::State.GameLevel.MapHeight - 1) * kCellSize;

    SpawnTask = std::make_unique<TTimerTask>(SpawnMonsters, services.MainTick(), kSpawnPeriodTicks, false);
    services.ScheduleTask(SpawnTask.get());

    services.PlayLevelMusic(levelNumber);

    LevelDone = false;
    AllDotsEaten = false;
    game::State.PlayersAlive = 1;
    game::State.Player.Level = levelNumber;
    BonusThresholds[0] = {15, false};
    BonusThresholds[1] = {30, false};
    BonusThresholds[2] = {60, false};
    BonusThresholds[3] = {80, false};
    DotsEaten = 0;
    DoorsOpen = false;
    KeyPlaced = false;
    // Only a level made in full is the one being played.
    current = this;
}

TGame::~TGame() {
    if (current == this) current = nullptr;
    spriteRoot_->FreeChildren();
    DotsLayer = nullptr;
    Enemies.reset();
    LifeCounter.reset();
    SpawnTask.reset();
}

TGame* CurrentGame() { return current; }

TPlayOutcome TGame::LevelEndOutcome(bool inputGiven) const {
    if (!LevelDone || !inputGiven) return TPlayOutcome::Playing;
    return State.CurrentLevel == State.LevelCount ? TPlayOutcome::GameComplete : TPlayOutcome::NextLevel;
}

int32_t TGame::EatenPercent() const {
    if (DotTotal <= 0) return 0;
    return static_cast<int32_t>(std::nearbyint(DotsEaten * 100.0 / DotTotal));
}

void TGame::PlaceBonusesAndKey(int32_t percent) {
    TLevel& level = State.GameLevel;
    for (TBonusThreshold& threshold : BonusThresholds) {
        if (percent != threshold.Percent || threshold.Fired) continue;
        threshold.Fired = true;
        // The classic game knows only the first two kinds.
        if (State.GameType == gtClassic) level.BonusLevel = 2;
        // A negative count draws from nearly 2^32 kinds: almost never a real one.
        SpawnBonus(int(Random(uint32_t(level.BonusLevel)) + 1));
    }
    if (level.KeyExist != 0 && percent >= kKeyFromPercent && percent <= kKeyToPercent && !KeyPlaced) {
        CreateKeyBonus(level.KeyPoint.X, level.KeyPoint.Y);
        KeyPlaced = true;
    }
}

TPlayOutcome ReplaceLostHero() {
    if (State.PlayersAlive != 0) return TPlayOutcome::Playing;
    if (State.Lives <= 0) return TPlayOutcome::GameOver;
    new TPlayerSprite(Root(), State.GameLevel.PlayerPoint.X, State.GameLevel.PlayerPoint.Y);
    return TPlayOutcome::Playing;
}

void SpawnMonsters() {
    TGame* game = CurrentGame();
    if (!game) return;
    for (int32_t kind = mkOrdinary; kind < MonsterKindCount; ++kind) {
        if (int32_t(game->Enemies->AliveCount[kind]) < game::State.GameLevel.MonsterCount[kind]) {
            game->Enemies->AddMonster(kind, game::State.GameLevel.MonsterPoint[kind].X,
                                      game::State.GameLevel.MonsterPoint[kind].Y);
        }
    }
}

bool FindFreeCell(const TLevel& level, int32_t& x, int32_t& y) {
    TMazeMap scratch = level;

    engine::ForEachChild(*Root(), [&scratch](engine::TSprite& sprite) {
        if (!dynamic_cast<TEnemySprite*>(&sprite) && !dynamic_cast<TPlayerSprite*>(&sprite) &&
            !dynamic_cast<TBonusSprite*>(&sprite)) {
            return;
        }
        const media::Rect bounds = sprite.GetBounds();
        const int left = bounds.left;
        const int top = bounds.top;
        const int right = left + sprite.Width;
        const int bottom = top + sprite.Height;
        if (top < 0 || bottom < 0) return;
        for (const int cornerX : {left, right}) {
            for (const int cornerY : {top, bottom}) {
                MarkCell(scratch, PixelToCell(cornerX), PixelToCell(cornerY));
            }
        }
    });

    for (const TPoint& start : level.MonsterPoint) MarkCell(scratch, start.X, start.Y);
    for (int32_t dy = -1; dy <= 1; ++dy) {
        for (int32_t dx = -1; dx <= 1; ++dx)
            MarkCell(scratch, level.PlayerPoint.X + dx, level.PlayerPoint.Y + dy);
    }

    return FindCellWithCode(scratch, CellEmpty, x, y);
}

TPlayerSprite* FindPlayer() {
    TPlayerSprite* found = nullptr;
    engine::ForEachChild<TPlayerSprite>(*Root(), [&found](TPlayerSprite& player) {
        found = &player;
        return false;
    });
    return found;
}

}  // namespace actors
