// The 32 x 32 animation strips of the game screen: hero, monsters, bonuses,
// gates, red ball and dot. Frame counts follow the speeds the game plays them
// at (noted at each strip).
#include <cmath>
#include <functional>

#include "context.h"
#include "figures.h"

namespace assetgen {

namespace {

constexpr int kCell = 32;
const Dir kDirs[4] = {Dir::Up, Dir::Right, Dir::Down, Dir::Left};
const char* const kDirNames[4] = {"Up", "Right", "Down", "Left"};

// Each frame is drawn on its own cell so that nothing spills into the next.
Canvas Strip(int frames, const std::function<void(Canvas&, int)>& draw) {
    Canvas strip(kCell * frames, kCell);
    for (int i = 0; i < frames; ++i) {
        Canvas cell(kCell, kCell);
        draw(cell, i);
        strip.Blit(cell, i * kCell, 0);
    }
    return strip;
}

void AddStrip(Context& cx, const std::string& name, int frames,
              const std::function<void(Canvas&, int)>& draw) {
    cx.Add(Picture{"Data\\Images\\" + name + ".bmp", Strip(frames, draw), kCell, kCell, false});
}

// A ring of sparkles at distance `spread` from the centre.
void SparkleRing(Canvas& c, int count, float spread, float size, float turn, Rgb colour) {
    for (int i = 0; i < count; ++i) {
        const float a = turn + i * 6.2831853f / count;
        DrawSparkle(c, 16.f + std::cos(a) * spread, 16.f + std::sin(a) * spread, size, colour);
    }
}

// Pieces flying apart from the centre, shrinking as they go.
void Burst(Canvas& c, int count, float spread, float size, Rgb colour, float turn = 0.3f) {
    for (int i = 0; i < count; ++i) {
        const float a = turn + i * 6.2831853f / count;
        const Sdf bit = shape::Circle(16.f + std::cos(a) * spread, 16.f + std::sin(a) * spread, size);
        c.Fill(shape::Offset(bit, 0.8f), kInk);
        c.Fill(bit, colour);
    }
}

void Label(Context& cx, Canvas& c, const std::string& text, float y, int scale, Rgb colour) {
    cx.Pixels().Draw(c, text, 16.f, y, scale, colour, kInk);
}

void MakeHero(Context& cx) {
    // Chewing: played once at one pattern per frame for every dot (four
    // frames per cell), then resting on the last, open-mouthed pattern.
    const float chew[4] = {0.3f, 0.05f, 0.32f, 0.68f};
    for (int d = 0; d < 4; ++d)
        AddStrip(cx, std::string("P") + kDirNames[d], 4, [&, d](Canvas& c, int i) {
            DrawChomper(c, ChomperPose{16, 16, 13, kDirs[d], chew[i]});
        });

    // Appearing: sparkles gather and the hero grows (1/6 pattern per frame).
    AddStrip(cx, "Appearence", 6, [&](Canvas& c, int i) {
        const Rgb gold = MakeRgb(255, 230, 90);
        if (i < 3) SparkleRing(c, 4, 13.f - i * 3.f, 3.5f - i * 0.3f, 0.4f * i, gold);
        if (i == 0) c.Fill(shape::Circle(16, 16, 2.f), MakeRgb(255, 250, 200));
        const float r[6] = {0, 3.5f, 7.f, 10.5f, 13.f, 13.f};
        if (i >= 1) DrawChomper(c, ChomperPose{16, 16, r[i], Dir::Right, i < 5 ? 0.04f : 0.68f});
        if (i == 4) SparkleRing(c, 4, 14.f, 2.2f, 0.8f, MakeRgb(255, 255, 230));
    });

    // Caught: five patterns over twenty frames (0.25 pattern per frame).
    AddStrip(cx, "Death", 5, [&](Canvas& c, int i) {
        switch (i) {
            case 0: DrawChomper(c, ChomperPose{16, 16, 13, Dir::Right, 0.04f, ChomperPose::Crossed}); break;
            case 1: DrawChomper(c, ChomperPose{16, 17, 10.5f, Dir::Right, 0.3f, ChomperPose::Crossed}); break;
            case 2: DrawChomper(c, ChomperPose{16, 18, 7.f, Dir::Right, 0.6f, ChomperPose::Crossed}); break;
            case 3:
                Burst(c, 8, 9.f, 2.2f, MakeRgb(255, 212, 36));
                c.Fill(shape::Circle(16, 16, 3.f), MakeRgb(255, 240, 160));
                break;
            default: SparkleRing(c, 6, 13.f, 2.f, 0.3f, MakeRgb(255, 220, 120)); break;
        }
    });

    // Level cleared: a grinning hop with sparkles, eight patterns at 0.25.
    AddStrip(cx, "ChomperHappy", 8, [&](Canvas& c, int i) {
        const float hop[8] = {0, -1.5f, -3.f, -1.5f, 0, -1.5f, -3.f, -1.5f};
        DrawChomperGrin(c, 16, 17.f + hop[i], 12.f, (i % 4 == 2) ? 1.f : 0.55f);
        const float a = i * 0.785f;
        DrawSparkle(c, 16.f + std::cos(a) * 13.5f, 15.f + std::sin(a) * 13.5f, 2.6f, MakeRgb(255, 255, 160));
        DrawSparkle(c, 16.f - std::cos(a) * 13.5f, 15.f - std::sin(a) * 13.5f, 2.f, MakeRgb(160, 255, 255));
    });

    AddStrip(cx, "ChomperLife", 1, [&](Canvas& c, int) {
        DrawChomper(c, ChomperPose{16, 16, 11.5f, Dir::Right, 0.6f});
    });
}

void MakeMonsters(Context& cx) {
    using DrawFn = void (*)(Canvas&, const CreaturePose&);
    struct Kind {
        const char* prefix;
        DrawFn draw;
        Rgb glow;
    };
    const Kind kinds[4] = {{"Enemy", DrawMonster, MakeRgb(255, 90, 190)},
                           {"Victim", DrawVictim, MakeRgb(90, 130, 255)},
                           {"Boss", DrawBoss, MakeRgb(190, 90, 255)},
                           {"Ghost", DrawGhost, MakeRgb(190, 230, 255)}};
    // Walking: four patterns looped at 0.5 pattern per frame.
    for (const Kind& k : kinds)
        for (int d = 0; d < 4; ++d)
            AddStrip(cx, std::string(k.prefix) + kDirNames[d], 4, [&, d](Canvas& c, int i) {
                k.draw(c, CreaturePose{16, 16, kDirs[d], i});
            });

    // Appearing: exactly four patterns (32 frames at 0.125), a portal of
    // sparkles out of which the creature condenses.
    for (int k = 0; k < 4; ++k) {
        if (k == 1) continue;  // victims never appear as such
        const Kind& kind = kinds[k];
        AddStrip(cx, std::string(kind.prefix) + "Appearence", 4, [&](Canvas& c, int i) {
            c.Stroke(shape::Ellipse(16, 26, 4.f + i * 3.f, 1.5f + i * 0.8f), 1.4f, kind.glow);
            if (i < 3) SparkleRing(c, 5, 12.f - i * 2.5f, 2.6f, 0.5f * i, kind.glow);
            const float keep[4] = {0.f, 0.25f, 0.55f, 1.f};
            if (i > 0) kind.draw(c, CreaturePose{16, 16, Dir::Down, 0, keep[i]});
        });
    }

    // Dying: played once at 0.125 pattern per frame; the last patterns show
    // the points the monster was worth.
    AddStrip(cx, "EnemyDeath", 5, [&](Canvas& c, int i) {
        if (i == 0) DrawMonster(c, CreaturePose{16, 16, Dir::Down, 0, 1.f, true, 1.f});
        if (i == 1) {
            DrawMonster(c, CreaturePose{16, 16, Dir::Down, 0, 1.f, true, 1.f});
            c.DitherOut(shape::Circle(16, 16, 20), 0.6f);
        }
        if (i == 2) Burst(c, 7, 9.f, 2.4f, MakeRgb(246, 64, 160));
        if (i >= 2) Label(cx, c, "1000", i == 2 ? 16.f : 16.f - (i - 2) * 3.f, 1, MakeRgb(255, 255, 255));
        if (i == 3) Burst(c, 7, 13.f, 1.3f, MakeRgb(255, 150, 210));
    });
    AddStrip(cx, "BossDeath", 6, [&](Canvas& c, int i) {
        if (i < 2) DrawBoss(c, CreaturePose{16, 16, Dir::Down, 0, 1.f, true, i == 0 ? 1.f : 0.8f});
        if (i == 1) c.DitherOut(shape::Circle(16, 16, 20), 0.7f);
        if (i == 2) {
            Burst(c, 9, 8.f, 3.f, MakeRgb(255, 180, 40));
            c.Fill(shape::Circle(16, 16, 5.f), MakeRgb(255, 250, 200));
        }
        if (i == 3) Burst(c, 9, 12.f, 2.f, MakeRgb(134, 46, 214), 0.6f);
        if (i >= 3) Label(cx, c, "5000", 16.f - (i - 3) * 2.5f, 1, MakeRgb(255, 220, 80));
    });
    AddStrip(cx, "GhostDeath", 5, [&](Canvas& c, int i) {
        if (i < 2) DrawGhost(c, CreaturePose{16, 16.f - i * 3.f, Dir::Up, 0, i == 0 ? 1.f : 0.5f});
        if (i >= 1) SparkleRing(c, 5, 6.f + i * 2.5f, 2.f, 0.4f * i, MakeRgb(190, 230, 255));
        if (i >= 2) Label(cx, c, "10000", 16.f - (i - 2) * 2.5f, 1, MakeRgb(180, 255, 255));
    });
}

void MakeBonuses(Context& cx) {
    const PixelFont& pf = cx.Pixels();
    const float bob[4] = {0, -1.f, 0, 1.f};
    struct Bonus {
        const char* lying;
        const char* taken;
        const char* label;
        Rgb colour;
        std::function<void(Canvas&, float, int)> icon;  // (canvas, vertical offset, phase)
    };
    const std::vector<Bonus> bonuses = {
        {"BonusMoney", "Money", "10000", MakeRgb(255, 230, 120),
         [&](Canvas& c, float y, int p) { DrawMoneyBag(c, 16, 16 + y, p); }},
        {"BonusLife", "1Up", "1UP", MakeRgb(255, 120, 140),
         [&](Canvas& c, float y, int p) { DrawHeart(c, pf, 16, 16 + y * 0.3f, p % 2 ? 1.08f : 1.f, p); }},
        {"BonusSlow", "Slow", "SLOW", MakeRgb(170, 240, 110),
         [&](Canvas& c, float y, int p) { DrawSnail(c, 16, 16 + y * 0.5f, p); }},
        {"BonusDouble", "Double", "X2", MakeRgb(120, 255, 140),
         [&](Canvas& c, float y, int p) { DrawTwins(c, pf, 16, 16 + y, p); }},
        {"BonusKillAll", "KillAll", "BOOM", MakeRgb(255, 170, 60),
         [&](Canvas& c, float y, int p) { DrawBomb(c, 16, 16 + y, p); }},
        {"BonusKill", "OneKilled", "-1", MakeRgb(255, 90, 90),
         [&](Canvas& c, float, int p) { DrawTarget(c, 16, 16, p); }},
        {"BonusKeyboard", "KeyboardChange", "SWAP", MakeRgb(120, 190, 255),
         [&](Canvas& c, float y, int p) { DrawSwapKey(c, 16, 16 + y * 0.5f, p); }},
        {"BonusKey", "Key", "KEY", MakeRgb(255, 230, 100),
         [&](Canvas& c, float y, int p) { DrawKey(c, 16, 16 + y, -0.6f, p); }},
    };
    for (const Bonus& b : bonuses) {
        // Lying: four patterns looped at 0.25 pattern per frame.
        AddStrip(cx, b.lying, 4, [&](Canvas& c, int i) { b.icon(c, bob[i], i); });
        // Taken: five patterns played once at 0.25; the icon flashes, bursts
        // and its label floats up.
        AddStrip(cx, b.taken, 5, [&](Canvas& c, int i) {
            if (i == 0) {
                Scaled(c, 16, 16, 1.12f, [&] { b.icon(c, 0, 0); });
                c.Halo(shape::Circle(16, 16, 13), 3.f, MakeRgb(255, 255, 255), 0.8f);
            } else if (i == 1) {
                Scaled(c, 16, 16, 0.7f, [&] { b.icon(c, 0, 1); });
                SparkleRing(c, 6, 12.f, 2.6f, 0.2f, b.colour);
            } else {
                SparkleRing(c, 6, 12.f + i * 1.2f, 2.2f - i * 0.3f, 0.2f + i * 0.3f, b.colour);
            }
            if (i >= 1) {
                const int scale = pf.Measure(b.label) * 2 <= 28 ? 2 : 1;
                Label(cx, c, b.label, 17.f - (i - 1) * 2.f, scale, b.colour);
                if (i == 4) c.DitherOut(shape::Box(16, 16, 16, 16), 0.5f);
            }
        });
    }
}

void MakeMazeObjects(Context& cx) {
    // Gates play once at 0.125 when a level starts and at 0.5 when they
    // switch, so each ends on its final state: the shut strips run from open
    // to shut, the open strips the other way.
    const float shut[4] = {0.f, 0.4f, 0.75f, 1.f};
    AddStrip(cx, "GateHorizShut", 4, [&](Canvas& c, int i) { DrawGate(c, shut[i], false); });
    AddStrip(cx, "GateHorizOpen", 4, [&](Canvas& c, int i) { DrawGate(c, shut[3 - i], false); });
    AddStrip(cx, "GateVertShut", 4, [&](Canvas& c, int i) { DrawGate(c, shut[i], true); });
    AddStrip(cx, "GateVertOpen", 4, [&](Canvas& c, int i) { DrawGate(c, shut[3 - i], true); });

    // Red ball: a pulse looped at 0.25 pattern per frame.
    const float radius[4] = {6.5f, 7.5f, 8.5f, 7.5f}, halo[4] = {0.3f, 0.55f, 0.85f, 0.55f};
    AddStrip(cx, "RedBall", 4, [&](Canvas& c, int i) { DrawRedBall(c, radius[i], halo[i]); });

    AddStrip(cx, "Dot", 1, [&](Canvas& c, int) { DrawDot(c); });
}

}  // namespace

void MakeActors(Context& cx) {
    MakeHero(cx);
    MakeMonsters(cx);
    MakeBonuses(cx);
    MakeMazeObjects(cx);
}

}  // namespace assetgen
