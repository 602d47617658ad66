#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/background_sprite.h"
#include "engine/image_sprite.h"
#include "engine/sprite.h"
#include "media/image.h"

using namespace engine;

namespace {

using Log = std::vector<std::string>;

// Records what the engine does to it; behaviour is plugged in per test.
class TProbe : public TSprite {
public:
    TProbe(TSprite* parent, std::string name, Log* log, double x = 0, double y = 0, int size = 10)
        : TSprite(parent), name(std::move(name)), log(log) {
        X = x;
        Y = y;
        Width = Height = size;
    }
    ~TProbe() override { log->push_back("free " + name); }

    void Step(int) override {
        log->push_back("step " + name);
        if (onStep) onStep();
    }
    void Paint() override { log->push_back("paint " + name); }
    void HandleCollision(TSprite* other, bool& done) override {
        log->push_back("hit " + static_cast<TProbe*>(other)->name);
        if (onHit) onHit(done);
    }
    bool AcceptsCollision(TSprite* other) const override {
        log->push_back("ask " + name + " about " + static_cast<TProbe*>(other)->name);
        return accepts;
    }

    std::string name;
    Log* log;
    bool accepts = true;
    std::function<void()> onStep;
    std::function<void(bool&)> onHit;
};

class SpriteTree : public ::testing::Test {
protected:
    SpriteTree() { root->SetSurface(&surface); }

    TProbe* Probe(TSprite* parent, const std::string& name, double x = 0, double y = 0, int size = 10) {
        return new TProbe(parent, name, &log, x, y, size);
    }
    Log Take() { return std::exchange(log, {}); }

    Log log;
    media::Surface surface{100, 100};
    TDXSpriteEngine dx;
    TSpriteEngine* root = dx.Root();
};

// Pictures whose patterns are solid blocks of colour pattern + 1.
std::unique_ptr<media::ImageEntry> SolidPatterns(int pw, int ph, int columns, int rows) {
    const int w = pw * columns;
    std::vector<uint16_t> pixels(size_t(w) * ph * rows);
    for (int y = 0; y < ph * rows; ++y) {
        for (int x = 0; x < w; ++x) pixels[size_t(y) * w + x] = uint16_t((y / ph) * columns + x / pw + 1);
    }
    auto entry = std::make_unique<media::ImageEntry>(
        "Test", std::make_shared<media::Picture>(w, ph * rows, std::move(pixels)));
    entry->SetPatternWidth(pw);
    entry->SetPatternHeight(ph);
    return entry;
}

using Box = std::array<int, 4>;
Box Bounds(const media::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

Log Hits(const Log& log) {
    Log hits;
    std::copy_if(log.begin(), log.end(), std::back_inserter(hits),
                 [](auto& e) { return e.starts_with("hit"); });
    return hits;
}

constexpr uint16_t kUntouched = 0x7777;

std::string Rows(const media::Surface& s) {
    std::string out;
    for (int y = 0; y < s.Height(); ++y) {
        for (int x = 0; x < s.Width(); ++x) {
            const uint16_t c = s.Row(y)[x];
            out += c == kUntouched ? '.' : c < 10 ? char('0' + c) : char('a' + c - 10);
        }
        out += '\n';
    }
    return out;
}

}  // namespace

// ------------------------------------------------------------- tree shape

TEST_F(SpriteTree, EqualZPutsTheNewcomerBeneath) {
    TProbe* a = Probe(root, "a");
    a->SetZ(5);
    TProbe* b = Probe(root, "b");
    b->SetZ(5);
    TProbe* c = Probe(root, "c");
    c->SetZ(5);
    Probe(root, "top")->SetZ(6);
    dx.Draw();
    EXPECT_EQ(Take(), (Log{"paint c", "paint b", "paint a", "paint top"}));

    b->SetZ(5);  // unchanged Z keeps the place
    a->SetZ(6);
    a->SetZ(5);
    dx.Draw();
    EXPECT_EQ(Take(), (Log{"paint a", "paint c", "paint b", "paint top"}));
    // Insertion order is not affected by Z.
    EXPECT_EQ(root->Child(0), a);
    EXPECT_EQ(root->Child(2), c);
}

TEST_F(SpriteTree, ChildIndexErrors) {
    static_assert(std::is_base_of_v<formats::GameError, ESpriteError>);
    static_assert(std::is_base_of_v<formats::GameError, EListError>);
    auto errorOf = [](auto f) -> std::string {
        try {
            f();
        } catch (const ESpriteError& e) {
            return std::string("sprite: ") + e.what();
        } catch (const EListError& e) {
            return std::string("list: ") + e.what();
        }
        return "none";
    };
    TProbe* a = Probe(root, "a");
    EXPECT_EQ(errorOf([&] { a->Child(0); }), "sprite: Index of the list exceeds the range. (0)");
    Probe(a, "a1");
    EXPECT_EQ(errorOf([&] { a->Child(-1); }), "list: List index out of bounds (-1)");
    EXPECT_EQ(errorOf([&] { a->Child(1); }), "list: List index out of bounds (1)");
}

TEST_F(SpriteTree, DestroyingASpriteUnlinksItsWholeSubtree) {
    TProbe* a = Probe(root, "a");
    TProbe* b = Probe(root, "b");
    TProbe* b11 = Probe(Probe(b, "b1"), "b11");
    Probe(b, "b2");
    EXPECT_EQ(root->SpriteCount(), 5);
    EXPECT_EQ(b11->Engine, root);

    delete b;  // children go last first
    EXPECT_EQ(Take(), (Log{"free b", "free b2", "free b1", "free b11"}));
    EXPECT_EQ(root->SpriteCount(), 1);
    ASSERT_EQ(root->ChildCount(), 1);
    EXPECT_EQ(root->DrawOrder(), std::vector<TSprite*>{a});

    root->FreeChildren();
    EXPECT_EQ(root->SpriteCount(), 0);
    EXPECT_TRUE(root->DrawOrder().empty());
}

// A constructor that fails after the base has registered the sprite, for
// instance on a missing picture.
class TFailingSprite : public TImageSprite {
public:
    TFailingSprite(TSprite* parent, Log* log) : TImageSprite(parent) {
        new TProbe(this, "inner", log);
        Kill();
        throw formats::GameError("Image 'Missing' not found");
    }
};

TEST_F(SpriteTree, ThrowingConstructorLeavesNothingBehind) {
    Probe(root, "a");
    EXPECT_THROW(new TFailingSprite(root, &log), formats::GameError);
    EXPECT_EQ(Take(), Log{"free inner"});
    EXPECT_EQ(root->SpriteCount(), 1);
    EXPECT_EQ(root->ChildCount(), 1);
    EXPECT_EQ(root->DrawOrder().size(), 1u);
    EXPECT_TRUE(root->DeadSprites().empty());
    dx.SweepDead();
    EXPECT_EQ(root->SpriteCount(), 1);
}

// ------------------------------------------------------------- dead sweep

TEST_F(SpriteTree, KilledSpritesAreFreedOnceAtTheSweep) {
    TProbe* a = Probe(root, "a");
    TProbe* b = Probe(root, "b");
    TProbe* b1 = Probe(b, "b1");
    a->onStep = [&] {
        b1->Kill();
        b->Kill();
        b->Kill();
    };
    root->Kill();  // the root has no engine to list it
    dx.Move(1);
    EXPECT_EQ(Take(), (Log{"step a", "step b", "step b1"}));
    EXPECT_EQ(root->DeadSprites().size(), 2u);
    EXPECT_TRUE(b->IsDead());

    dx.SweepDead();
    dx.Draw();
    // Freeing b frees b1 as well and takes it off the list.
    EXPECT_EQ(Take(), (Log{"free b", "free b1", "paint a"}));
    EXPECT_TRUE(root->DeadSprites().empty());
    EXPECT_EQ(root->SpriteCount(), 1);
    EXPECT_EQ(root->DrawnCount(), 1);
}

// ---------------------------------------------------------- move and draw

TEST_F(SpriteTree, StoppedAndHiddenSpritesSkipTheirSubtrees) {
    TProbe* a = Probe(root, "a");
    Probe(a, "a1");
    TProbe* b = Probe(root, "b");
    Probe(b, "b1");
    a->CanMove = false;
    b->Visible = false;
    dx.Move(1);
    dx.Draw();
    EXPECT_EQ(Take(), (Log{"step b", "step b1", "paint a", "paint a1"}));
    EXPECT_EQ(root->DrawnCount(), 2);
}

TEST_F(SpriteTree, SpritesCreatedDuringTheMoveWaitForTheNextPass) {
    TProbe* spawner = Probe(root, "s");
    int spawned = 0;
    // Enough newcomers to make the child list reallocate under the loop.
    spawner->onStep = [&] {
        for (int i = 0; i < 50; ++i) Probe(root, std::to_string(spawned++));
    };
    dx.Move(1);
    EXPECT_EQ(Take(), Log{"step s"});
    EXPECT_EQ(root->ChildCount(), 51);
    dx.Move(1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "step 49"), 1);
    EXPECT_EQ(std::count(log.begin(), log.end(), "step 50"), 0);
}

TEST_F(SpriteTree, DrawingNeedsOverlapWithTheSurface) {
    TProbe* off = Probe(root, "off", -10, 0);  // touches the left edge only
    Probe(off, "child", 5, 5);                 // absolute (-5, 5): on the surface
    Probe(root, "edge", 99.9, 99.9);           // one pixel at (99, 99)
    dx.Draw();
    EXPECT_EQ(Take(), (Log{"paint edge", "paint child"}));

    root->SetSurface(nullptr);  // the display lost its surface
    dx.Draw();
    EXPECT_TRUE(Take().empty());
    EXPECT_EQ(root->Width, 100);
}

TEST_F(SpriteTree, BoundsTruncateTheAbsolutePositionTowardZero) {
    TProbe* parent = Probe(root, "p", 10.6, -0.5);
    TProbe* child = Probe(parent, "c", 0.6, -0.7, 4);
    EXPECT_EQ(Bounds(parent->GetBounds()), (Box{10, 0, 20, 10}));
    EXPECT_EQ(Bounds(child->GetBounds()), (Box{11, -1, 15, 3}));  // from (11.2, -1.2), not (10, 0) + (0, 0)
}

// -------------------------------------------------------------- collision

TEST_F(SpriteTree, CollisionNeedsASharedPixel) {
    TProbe* s = Probe(root, "s", 0, 0);
    Probe(root, "touching", 10, 0);
    Probe(root, "below", 0, 10);
    Probe(root, "overlap", 9.9, 9.9);  // shares pixel (9, 9)
    Probe(root, "empty", 5, 5, 0);     // no pixel to share
    Probe(s, "own child", 5, 5);       // a sprite's own children are tested too
    TProbe* off = Probe(root, "off");  // not colliding: skipped with its subtree
    Probe(off, "off child");
    off->CanCollide = false;
    EXPECT_EQ(s->Collide(), 2);
    EXPECT_EQ(Hits(Take()), (Log{"hit own child", "hit overlap"}));

    s->Kill();
    EXPECT_EQ(s->Collide(), 0);
    EXPECT_TRUE(Take().empty());
}

TEST_F(SpriteTree, AcceptanceIsAskedOfTheColliderFirst) {
    TProbe* s = Probe(root, "s");
    TProbe* t = Probe(root, "t");
    t->accepts = false;
    EXPECT_EQ(s->Collide(), 0);
    EXPECT_EQ(Take(), (Log{"ask s about t", "ask t about s"}));
    s->accepts = false;
    EXPECT_EQ(s->Collide(), 0);
    EXPECT_EQ(Take(), Log{"ask s about t"});
}

TEST_F(SpriteTree, EveryRootChildIsTestedAfterTheColliderDies) {
    TProbe* s = Probe(root, "s");
    Probe(Probe(root, "a"), "a1");
    Probe(root, "b");
    Probe(Probe(root, "c"), "c1");
    s->onHit = [&](bool&) { s->Kill(); };
    EXPECT_EQ(s->Collide(), 3);
    // The death ends the descent below a, and below every later child.
    EXPECT_EQ(Hits(log), (Log{"hit a", "hit b", "hit c"}));
}

// -------------------------------------------------------------- animation

TEST(ImageSpriteAnimation, Step) {
    struct {
        bool looping;
        int frameCount;
        double pos, speed;
        int moveCount;
        double wantPos, wantSpeed;
    } const cases[] = {
        {true, 4, -0.5, 0, 1, 3.5, 0},        {true, 4, 3.5, 0.25, 2, 0.0, 0.25},
        {true, 4, -4.25, 0, 1, 3.75, 0},      {true, 0, 2.5, 1, 1, 0, 1},
        {false, 0, 0, 0.5, 1, 0, 0},          {false, 4, 3.5, 0.75, 1, 3, 0},
        {false, 4, 1, -0.75, 1, 0.25, -0.75}, {false, 4, 0.25, -0.75, 1, 0, 0},
    };
    TSpriteEngine root;
    auto* s = new TImageSprite(&root);
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "looping " << c.looping << ", frames " << c.frameCount
                                          << ", pos " << c.pos << ", speed " << c.speed);
        s->Looping = c.looping;
        s->FrameCount = c.frameCount;
        s->FramePos = c.pos;
        s->FrameSpeed = c.speed;
        s->Step(c.moveCount);
        EXPECT_DOUBLE_EQ(s->FramePos, c.wantPos);
        EXPECT_DOUBLE_EQ(s->FrameSpeed, c.wantSpeed);
    }
}

// --------------------------------------------------------------- painting

class SpritePainting : public ::testing::Test {
protected:
    SpritePainting() {
        surface.Fill(kUntouched);
        root.SetSurface(&surface);
    }
    media::Surface surface{8, 6};
    TSpriteEngine root;
};

TEST_F(SpritePainting, ImageSpriteShowsItsFramePlusTheFirstPattern) {
    auto image = SolidPatterns(2, 2, 4, 4);  // colours 1 to 16
    auto* s = new TImageSprite(&root);
    s->Image = image.get();
    s->X = 1.7;
    s->Y = 2;
    s->Width = s->Height = 2;
    s->FramePos = 2.9;
    s->FirstPattern = 10;  // pattern 12: colour 13
    root.DrawAll();
    EXPECT_EQ(Rows(surface),
              "........\n"
              "........\n"
              ".dd.....\n"
              ".dd.....\n"
              "........\n"
              "........\n");

    surface.Fill(kUntouched);
    s->FirstPattern = 14;  // past the last pattern
    root.DrawAll();
    EXPECT_EQ(root.DrawnCount(), 1);
    EXPECT_EQ(Rows(surface).find_first_not_of(".\n"), std::string::npos);
}

TEST_F(SpritePainting, ImageSpriteCentresItsPatternInTheBounds) {
    auto image = SolidPatterns(2, 2, 1, 1);
    auto* wide = new TImageSprite(&root);
    wide->Image = image.get();
    wide->Width = 5;  // (5 - 2) div 2 = 1
    wide->Height = 2;
    auto* narrow = new TImageSprite(&root);
    narrow->Image = image.get();
    narrow->X = 5;
    narrow->Y = 3;
    narrow->Width = narrow->Height = 1;  // (1 - 2) div 2 = 0, not -1
    root.DrawAll();
    EXPECT_EQ(Rows(surface),
              ".11.....\n"
              ".11.....\n"
              "........\n"
              ".....11.\n"
              ".....11.\n"
              "........\n");
}

TEST_F(SpritePainting, BackgroundDrawsItsMapOnceOrRepeated) {
    auto image = SolidPatterns(2, 2, 4, 1);  // colours 1 to 4
    auto* map = new TBackgroundSprite(&root);
    EXPECT_FALSE(map->CanCollide);
    map->Image = image.get();
    map->SetMapSize(3, 2);  // every cell pattern 0
    map->SetCell(0, 0, 1);
    map->SetCell(1, 1, -1);  // empty
    map->SetCell(2, 1, 3);
    map->SetCell(3, 0, 2);  // outside: ignored
    EXPECT_EQ(map->Cells(3, 0), -1);
    map->X = -1.5;  // truncated to -1
    map->Y = 1.5;
    root.DrawAll();
    EXPECT_EQ(Rows(surface),
              "........\n"
              "21111...\n"
              "21111...\n"
              "1..44...\n"
              "1..44...\n"
              "........\n");
    EXPECT_EQ(Bounds(map->GetBounds()), (Box{-1, 1, 5, 5}));

    // Repeated with a period of 6 x 4 pixels, map cell (0, 0) at (-3, 1).
    surface.Fill(kUntouched);
    map->Wrap = true;
    map->X = -3;
    map->Y = 1;
    root.DrawAll();
    EXPECT_EQ(Rows(surface),
              ".4411..4\n"
              "11122111\n"
              "11122111\n"
              ".4411..4\n"
              ".4411..4\n"
              "11122111\n");
    EXPECT_EQ(Bounds(map->GetBounds()), (Box{0, 0, 8, 6}));

    map->SetMapSize(3, 2);  // same size: the cells stay
    EXPECT_EQ(map->Cells(2, 1), 3);
    map->SetMapSize(3, 0);
    EXPECT_EQ(map->MapWidth(), 0);
}
