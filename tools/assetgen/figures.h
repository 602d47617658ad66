// The cast and the objects of the maze, drawn as shapes in the units of one
// 32 x 32 cell centred on (16, 16). The canvas transform scales them, so the
// title picture and the help pages reuse the same figures at any size.
#pragma once

#include "canvas.h"
#include "context.h"

namespace assetgen {

extern const Rgb kInk;  // the dark outline colour of every figure

enum class Dir { Up, Right, Down, Left, Front };

struct ChomperPose {
    float cx = 16, cy = 16, r = 13;
    Dir facing = Dir::Right;
    float mouth = 0.6f;  // half-opening of the mouth in radians
    enum Eyes { Open, Happy, Crossed } eyes = Open;
    float squashY = 1.f;  // below 1 flattens the body
};
void DrawChomper(Canvas& c, const ChomperPose& p);
// The hero seen from the front with a grin, for the happy animation.
void DrawChomperGrin(Canvas& c, float cx, float cy, float r, float grin);

struct CreaturePose {
    float cx = 16, cy = 16;
    Dir look = Dir::Down;
    int frame = 0;     // walking phase 0..3
    float keep = 1.f;  // share of body pixels kept (dithered appearance)
    bool crossedEyes = false;
    float squashY = 1.f;
};
void DrawMonster(Canvas& c, const CreaturePose& p);
void DrawVictim(Canvas& c, const CreaturePose& p);
void DrawBoss(Canvas& c, const CreaturePose& p);
void DrawGhost(Canvas& c, const CreaturePose& p);

void DrawSparkle(Canvas& c, float cx, float cy, float size, Rgb colour);

// Bonus icons; `phase` 0..3 is the frame of their idle animation.
void DrawMoneyBag(Canvas& c, float cx, float cy, int phase);
void DrawHeart(Canvas& c, const PixelFont& pf, float cx, float cy, float size, int phase);
void DrawSnail(Canvas& c, float cx, float cy, int phase);
void DrawTwins(Canvas& c, const PixelFont& pf, float cx, float cy, int phase);
void DrawBomb(Canvas& c, float cx, float cy, int phase);
void DrawTarget(Canvas& c, float cx, float cy, int phase);
void DrawSwapKey(Canvas& c, float cx, float cy, int phase);
void DrawKey(Canvas& c, float cx, float cy, float angle, int phase);

// t = 0 open, 1 shut.
void DrawGate(Canvas& c, float t, bool vertical);
void DrawRedBall(Canvas& c, float radius, float halo);
void DrawDot(Canvas& c);

// Runs `draw` with the transform changed so that a figure drawn around
// (16, 16) appears around (cx, cy) scaled by k.
template <class F>
void Scaled(Canvas& c, float cx, float cy, float k, const F& draw) {
    const float ox = c.Ox(), oy = c.Oy(), s = c.ScaleFactor();
    c.SetTransform(ox + s * (cx - 16.f * k), oy + s * (cy - 16.f * k), s * k);
    draw();
    c.SetTransform(ox, oy, s);
}

}  // namespace assetgen
