// Frame rate of the sprite engine alone: every frame clears an 800 x 600
// 16-bit surface, moves, sweeps and draws a tree of 100 animated 32 x 32
// image sprites over a 25 x 20 map of 32 x 32 cells that covers the screen.
// Followers die now and then and are replaced at once, so the sweep has work
// to do.
//
// Usage: sprite_bench [rounds]   (default 5, of 2000 frames each)
#include <time.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "engine/background_sprite.h"
#include "engine/image_sprite.h"
#include "engine/sprite.h"
#include "media/image.h"

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kCell = 32;
constexpr int kGroups = 20;  // each a sprite with four children
constexpr int kChildrenPerGroup = 4;
constexpr int kFrameCount = 8;
constexpr int kFramesPerRound = 2000;

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Eight 32 x 32 patterns of a disc whose colour changes from frame to frame;
// the corners stay transparent like those of a real actor.
std::shared_ptr<const media::Picture> MakeActorPicture() {
    const int w = kCell * 4;
    const int h = kCell * 2;
    std::vector<uint16_t> pixels(size_t(w) * h, 0);
    for (int p = 0; p < kFrameCount; ++p) {
        const int ox = (p % 4) * kCell;
        const int oy = (p / 4) * kCell;
        for (int y = 0; y < kCell; ++y) {
            for (int x = 0; x < kCell; ++x) {
                const int dx = x - 16;
                const int dy = y - 16;
                if (dx * dx + dy * dy < 15 * 15) {
                    pixels[size_t(oy + y) * w + ox + x] = media::ToRgb565(255, uint8_t(30 * p), 0);
                }
            }
        }
    }
    return std::make_shared<media::Picture>(w, h, std::move(pixels));
}

// Four cell patterns: a solid wall, a floor dot (mostly transparent), a
// half-filled cell and a striped one.
std::shared_ptr<const media::Picture> MakeTilePicture() {
    const int w = kCell * 4;
    std::vector<uint16_t> pixels(size_t(w) * kCell, 0);
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            uint16_t* row = &pixels[size_t(y) * w];
            row[x] = media::ToRgb565(0, 0, 200);
            if (x >= 14 && x < 18 && y >= 14 && y < 18) row[kCell + x] = media::ToRgb565(255, 255, 255);
            if (y < 16) row[2 * kCell + x] = media::ToRgb565(0, 120, 0);
            if (x % 4 < 2) row[3 * kCell + x] = media::ToRgb565(120, 120, 120);
        }
    }
    return std::make_shared<media::Picture>(w, kCell, std::move(pixels));
}

// An animated 32 x 32 actor.
class TActor : public engine::TImageSprite {
public:
    TActor(engine::TSprite* parent, const media::ImageEntry* image, int seed) : TImageSprite(parent) {
        Image = image;
        Width = Height = kCell;
        FrameCount = kFrameCount;
        Looping = true;
        FrameSpeed = 0.25;
        FramePos = seed % kFrameCount;
    }
};

// Bounces around the screen, keeping its group of followers on it.
class TLeader : public TActor {
public:
    TLeader(engine::TSprite* parent, const media::ImageEntry* image, int seed)
        : TActor(parent, image, seed), dx_(1 + seed % 3), dy_(1 + (seed / 3) % 3) {}

    void Step(int moveCount) override {
        TActor::Step(moveCount);
        X += dx_ * moveCount;
        Y += dy_ * moveCount;
        if (X < kCell || X > kScreenWidth - 2 * kCell) dx_ = -dx_;
        if (Y < kCell || Y > kScreenHeight - 2 * kCell) dy_ = -dy_;
    }

private:
    int dx_;
    int dy_;
};

// Sits next to its leader and, when its time is up, dies and leaves a
// newcomer in its place.
class TFollower : public TActor {
public:
    TFollower(engine::TSprite* parent, const media::ImageEntry* image, int seed)
        : TActor(parent, image, seed), lifetime_(50 + seed * 37 % 200) {}

    void Step(int moveCount) override {
        TActor::Step(moveCount);
        if (--lifetime_ == 0) {
            Kill();
            auto* next = new TFollower(Parent, Image, nextSeed_++);
            next->X = X;
            next->Y = Y;
        }
    }

private:
    static inline int nextSeed_ = 1000;
    int lifetime_;
};

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    media::Surface surface(kScreenWidth, kScreenHeight);
    media::ImageEntry actor("Actor", MakeActorPicture());
    actor.SetPatternWidth(kCell);
    actor.SetPatternHeight(kCell);
    media::ImageEntry tiles("Tiles", MakeTilePicture());
    tiles.SetPatternWidth(kCell);
    tiles.SetPatternHeight(kCell);

    engine::TDXSpriteEngine dx;
    engine::TSpriteEngine* root = dx.Root();
    root->SetSurface(&surface);

    // Laid out like the game's dots layer: at (20, 20), repeated over the
    // whole surface, beneath the actors.
    auto* map = new engine::TBackgroundSprite(root);
    map->Image = &tiles;
    map->Wrap = true;
    map->X = 20;
    map->Y = 20;
    map->SetZ(-1);
    map->SetMapSize(25, 20);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 25; ++x) map->SetCell(x, y, (x + 3 * y) % 4);
    }

    int seed = 0;
    for (int g = 0; g < kGroups; ++g) {
        auto* leader = new TLeader(root, &actor, seed++);
        leader->X = (g * 97) % (kScreenWidth - 3 * kCell) + kCell;
        leader->Y = (g * 61) % (kScreenHeight - 3 * kCell) + kCell;
        leader->SetZ(g % 3);
        for (int c = 0; c < kChildrenPerGroup; ++c) {
            auto* follower = new TFollower(leader, &actor, seed++);
            follower->X = (c % 2) * kCell - kCell / 2;
            follower->Y = (c / 2) * kCell - kCell / 2;
        }
    }

    auto frame = [&] {
        surface.Fill(0);
        dx.Move(1);
        dx.SweepDead();
        dx.Draw();
    };
    for (int i = 0; i < 200; ++i) frame();  // warm up

    // Rounds of a fixed number of frames, timed in this thread's CPU time so
    // that other work on the machine does not count; the best round is the
    // figure (noise only ever slows a round down).
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        const double start = ThreadSeconds();
        for (int i = 0; i < kFramesPerRound; ++i) frame();
        const double fps = kFramesPerRound / (ThreadSeconds() - start);
        std::printf("round %d: %.0f frames per second\n", round + 1, fps);
        best = std::max(best, fps);
    }

    uint32_t checksum = 0;
    for (int i = 0; i < kScreenWidth * kScreenHeight; ++i) checksum = checksum * 31 + surface.Pixels()[i];
    std::printf("sprites: %d, drawn last frame: %d, checksum %08x\n", root->SpriteCount(), root->DrawnCount(),
                checksum);
    std::printf("best: %.0f frames per second\n", best);
    return 0;
}
