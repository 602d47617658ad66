#include "figures.h"

#include <cmath>

namespace assetgen {

using namespace shape;

const Rgb kInk = MakeRgb(26, 16, 44);

namespace {

constexpr float kPi = 3.14159265f;

void DirVector(Dir d, float& dx, float& dy) {
    dx = d == Dir::Right ? 1.f : d == Dir::Left ? -1.f : 0.f;
    dy = d == Dir::Down ? 1.f : d == Dir::Up ? -1.f : 0.f;
}

// Three-stop radial shading lit from the upper left.
Paint Shaded(float cx, float cy, float r, Rgb light, Rgb base, Rgb dark) {
    const float lx = cx - r * 0.35f, ly = cy - r * 0.45f;
    return [=](float x, float y) {
        const float t = std::hypot(x - lx, y - ly) / (r * 1.55f);
        return t < 0.45f ? Mix(light, base, t / 0.45f) : Mix(base, dark, std::min(1.f, (t - 0.45f) / 0.55f));
    };
}

// The outline first, then the shape over it.
void Inked(Canvas& c, const Sdf& s, const Paint& p, float width = 1.1f) {
    c.Fill(Offset(s, width), kInk);
    c.Fill(s, p);
}

// A polyline of round-capped strokes.
void Line(Canvas& c, std::initializer_list<float> xy, float width, Rgb colour) {
    const std::vector<float> v(xy);
    for (size_t i = 0; i + 3 < v.size(); i += 2)
        c.Fill(Segment(v[i], v[i + 1], v[i + 2], v[i + 3], width / 2), colour);
}

}  // namespace

// ------------------------------------------------------------------ hero

void DrawChomper(Canvas& c, const ChomperPose& p) {
    const float ang = p.facing == Dir::Right  ? 0.f
                      : p.facing == Dir::Down ? kPi / 2
                      : p.facing == Dir::Left ? kPi
                                              : -kPi / 2;
    const float ry = p.r * p.squashY, rx = p.r * (2.f - p.squashY);
    const float cy = p.cy + (p.r - ry);
    Sdf disc = p.squashY == 1.f ? Circle(p.cx, cy, p.r) : Ellipse(p.cx, cy, rx, ry);
    Sdf body = disc;
    if (p.mouth > 0.03f) {
        const float ax = p.cx - std::cos(ang) * p.r * 0.3f, ay = cy - std::sin(ang) * p.r * 0.3f,
                    len = p.r * 3;
        body = Subtract(
            disc, Polygon({ax, ay, ax + std::cos(ang - p.mouth) * len, ay + std::sin(ang - p.mouth) * len,
                           ax + std::cos(ang + p.mouth) * len, ay + std::sin(ang + p.mouth) * len}));
    }
    Inked(c, body,
          Shaded(p.cx, cy, p.r, MakeRgb(255, 252, 200), MakeRgb(255, 212, 36), MakeRgb(226, 128, 18)));
    if (p.mouth <= 0.03f)
        c.Fill(Segment(p.cx, cy, p.cx + std::cos(ang) * p.r, cy + std::sin(ang) * p.r, 0.55f), kInk);

    float ex, ey;
    switch (p.facing) {
        case Dir::Left: ex = p.cx - p.r * 0.1f, ey = cy - ry * 0.52f; break;
        case Dir::Up: ex = p.cx + p.r * 0.52f, ey = cy + ry * 0.08f; break;
        case Dir::Down: ex = p.cx + p.r * 0.52f, ey = cy - ry * 0.08f; break;
        default: ex = p.cx + p.r * 0.1f, ey = cy - ry * 0.52f; break;
    }
    const float e = p.r * 0.15f;
    switch (p.eyes) {
        case ChomperPose::Open:
            c.Fill(Ellipse(ex, ey, e * 0.95f, e * 1.25f), kInk);
            c.Fill(Circle(ex + e * 0.3f, ey - e * 0.45f, e * 0.38f), MakeRgb(255, 255, 255));
            break;
        case ChomperPose::Happy:
            Line(c, {ex - e * 1.1f, ey + e * 0.5f, ex, ey - e * 0.6f, ex + e * 1.1f, ey + e * 0.5f}, e * 0.8f,
                 kInk);
            break;
        case ChomperPose::Crossed:
            Line(c, {ex - e, ey - e, ex + e, ey + e}, e * 0.7f, kInk);
            Line(c, {ex - e, ey + e, ex + e, ey - e}, e * 0.7f, kInk);
            break;
    }
}

void DrawChomperGrin(Canvas& c, float cx, float cy, float r, float grin) {
    Inked(c, Circle(cx, cy, r),
          Shaded(cx, cy, r, MakeRgb(255, 252, 200), MakeRgb(255, 212, 36), MakeRgb(226, 128, 18)));
    const float my = cy + r * 0.08f;
    const Sdf mouth = Intersect(Ellipse(cx, my, r * 0.6f, r * (0.25f + 0.38f * grin)),
                                [my](float, float y) { return my - y; });
    c.Fill(Offset(mouth, 0.6f), kInk);
    c.Fill(mouth, MakeRgb(150, 24, 48));
    c.Fill(Intersect(mouth, Circle(cx, my + r * (0.3f + 0.38f * grin), r * 0.36f)), MakeRgb(255, 110, 130));
    const float e = r * 0.15f;
    for (float side : {-1.f, 1.f}) {
        const float ex = cx + side * r * 0.36f, ey = cy - r * 0.32f;
        Line(c, {ex - e * 1.1f, ey + e * 0.5f, ex, ey - e * 0.6f, ex + e * 1.1f, ey + e * 0.5f}, e * 0.8f,
             kInk);
        c.Fill(Ellipse(cx + side * r * 0.62f, cy + r * 0.05f, r * 0.14f, r * 0.09f), MakeRgb(255, 140, 120));
    }
}

// ------------------------------------------------------------------ monsters

namespace {

Sdf Hem(float base, float amp, float freq, float phase, float cx) {
    return [=](float x, float y) { return y - (base + amp * std::sin((x - cx) * freq + phase)); };
}

Sdf MonsterBody(float cx, float cy, int frame) {
    const Sdf dome = Union(Circle(cx, cy - 2.f, 11.f), Box(cx, cy + 3.5f, 11.f, 7.5f));
    const Sdf body = Intersect(dome, Hem(cy + 10.2f, 1.7f, 1.2f, frame * kPi / 2, cx));
    const Sdf hornL = Polygon({cx - 10.f, cy - 6.5f, cx - 4.5f, cy - 11.5f, cx - 11.5f, cy - 14.5f});
    const Sdf hornR = Polygon({cx + 10.f, cy - 6.5f, cx + 4.5f, cy - 11.5f, cx + 11.5f, cy - 14.5f});
    return Union(body, Union(hornL, hornR));
}

void Eyes(Canvas& c, float cx, float cy, float spread, float rx, float ry, float pupil, Dir look, Rgb white,
          Rgb iris) {
    float dx, dy;
    DirVector(look, dx, dy);
    if (look == Dir::Front) dy = 0.4f;
    for (float side : {-1.f, 1.f}) {
        const float ex = cx + side * spread + dx * 0.9f, ey = cy + dy * 0.6f;
        c.Fill(Ellipse(ex, ey, rx + 0.7f, ry + 0.7f), kInk);
        c.Fill(Ellipse(ex, ey, rx, ry), white);
        c.Fill(Circle(ex + dx * (rx - pupil * 0.9f), ey + dy * (ry - pupil * 1.f), pupil), iris);
    }
}

}  // namespace

void DrawMonster(Canvas& c, const CreaturePose& p) {
    const float cx = p.cx, cy = p.cy + (p.frame % 2 ? 0.5f : 0.f);
    const Sdf body = MonsterBody(cx, cy, p.frame);
    Inked(c, body,
          Shaded(cx, cy - 2, 12, MakeRgb(255, 170, 220), MakeRgb(246, 64, 160), MakeRgb(160, 24, 104)));
    if (p.keep < 1.f) c.DitherOut(body, p.keep, p.frame);
    if (p.crossedEyes) {
        for (float side : {-1.f, 1.f}) {
            const float ex = cx + side * 4.4f, ey = cy - 3.f;
            Line(c, {ex - 2.3f, ey - 2.3f, ex + 2.3f, ey + 2.3f}, 1.3f, kInk);
            Line(c, {ex - 2.3f, ey + 2.3f, ex + 2.3f, ey - 2.3f}, 1.3f, kInk);
        }
    } else {
        Eyes(c, cx, cy - 3.2f, 4.4f, 3.2f, 4.1f, 1.9f, p.look, MakeRgb(250, 250, 255), MakeRgb(30, 30, 96));
    }
    float dx, dy;
    DirVector(p.look, dx, dy);
    if (p.look != Dir::Up) {
        const float mx = cx + dx * 1.5f, my = cy + 5.f;
        const Sdf mouth =
            Intersect(Ellipse(mx, my, 4.2f, 2.4f), [my](float, float y) { return my - 0.8f - y; });
        c.Fill(Offset(mouth, 0.5f), kInk);
        c.Fill(mouth, MakeRgb(110, 10, 60));
        c.Fill(Polygon({mx - 3.f, my - 0.8f, mx - 1.6f, my - 0.8f, mx - 2.3f, my + 1.3f}),
               MakeRgb(255, 255, 255));
        c.Fill(Polygon({mx + 3.f, my - 0.8f, mx + 1.6f, my - 0.8f, mx + 2.3f, my + 1.3f}),
               MakeRgb(255, 255, 255));
    }
}

void DrawVictim(Canvas& c, const CreaturePose& p) {
    const float jitter = p.frame == 1 ? 0.6f : p.frame == 3 ? -0.6f : 0.f;
    const float cx = p.cx + jitter, cy = p.cy + 1.f;
    // Shrunk with fright, hornless, sea-green and rimmed in white: nothing
    // like the purple boss, even where the two overlap.
    const Sdf dome = Union(Circle(cx, cy - 2.f, 10.f), Box(cx, cy + 3.f, 10.f, 6.5f));
    const Sdf body = Intersect(dome, Hem(cy + 9.4f, 1.6f, 1.3f, p.frame * kPi / 2, cx));
    c.Fill(Offset(body, 2.4f), MakeRgb(250, 255, 255));
    Inked(c, body,
          Shaded(cx, cy - 2, 11, MakeRgb(170, 255, 230), MakeRgb(20, 196, 170), MakeRgb(6, 110, 104)));
    // Shaking lines at both edges of the cell: they show even from under a
    // boss drawn over it.
    for (float side : {-1.f, 1.f}) {
        const float sx = p.cx + side * 14.8f, shake = (p.frame % 2 ? 1.f : -1.f) * side;
        for (int i = 0; i < 3; ++i) {
            const float y = p.cy - 9.f + i * 5.f;
            Line(c, {sx, y - 2.f, sx + shake * 0.8f, y, sx, y + 2.f}, 1.4f, MakeRgb(255, 255, 255));
        }
    }
    float dx, dy;
    DirVector(p.look, dx, dy);
    for (float side : {-1.f, 1.f}) {
        const float ex = cx + side * 4.f + dx * 0.8f, ey = cy - 3.f + dy * 0.6f;
        c.Fill(Circle(ex, ey, 2.5f), kInk);
        c.Fill(Circle(ex, ey, 1.9f), MakeRgb(255, 255, 255));
        c.Fill(Circle(ex + dx * 0.8f, ey + dy * 0.8f, 0.8f), kInk);
        Line(c, {ex - side * 2.6f, ey - 4.8f, ex + side * 1.6f, ey - 3.6f}, 1.f, kInk);
    }
    Line(c,
         {cx - 5.f, cy + 4.5f, cx - 3.3f, cy + 3.1f, cx - 1.7f, cy + 4.5f, cx, cy + 3.1f, cx + 1.7f,
          cy + 4.5f, cx + 3.3f, cy + 3.1f, cx + 5.f, cy + 4.5f},
         1.1f, kInk);
}

void DrawBoss(Canvas& c, const CreaturePose& p) {
    const float cx = p.cx, cy = p.cy + (p.frame % 2 ? 0.5f : 0.f);
    const float sq = p.squashY;
    auto Y = [&](float y) { return cy + (y - cy) * sq + (1.f - sq) * 14.f; };
    const Sdf dome =
        Union(Ellipse(cx, Y(cy - 0.5f), 13.8f, 13.8f * sq), Box(cx, Y(cy + 6.f), 13.8f, 8.f * sq, 3.f));
    // A row of claws along the bottom, stepping with the walk.
    const float step = p.frame * 1.4f;
    const Sdf claws = [=](float x, float y) {
        const float u = std::fmod(std::fabs(x - cx + step) + 100.f, 5.5f) / 5.5f;
        return y - (Y(cy + 15.f) - 2.6f * std::fabs(u * 2.f - 1.f));
    };
    const Sdf body = Intersect(dome, claws);
    const Sdf horns =
        Union(Polygon({cx - 6.5f, Y(cy - 11.f), cx - 12.f, Y(cy - 6.f), cx - 15.f, Y(cy - 15.5f)}),
              Polygon({cx + 6.5f, Y(cy - 11.f), cx + 12.f, Y(cy - 6.f), cx + 15.f, Y(cy - 15.5f)}));
    c.Fill(Offset(horns, 1.f), kInk);
    c.Fill(horns, Linear(0, Y(cy - 15.f), MakeRgb(255, 250, 230), 0, Y(cy - 6.f), MakeRgb(200, 170, 130)));
    Inked(c, body, Shaded(cx, cy, 14, MakeRgb(206, 140, 255), MakeRgb(134, 46, 214), MakeRgb(62, 16, 118)),
          1.3f);
    if (p.keep < 1.f) c.DitherOut(Union(body, horns), p.keep, p.frame);

    float dx, dy;
    DirVector(p.look, dx, dy);
    if (p.look == Dir::Front) dy = 0.4f;
    for (float side : {-1.f, 1.f}) {
        const float ex = cx + side * 5.6f + dx * 1.f, ey = Y(cy - 2.5f) + dy * 0.6f;
        const Sdf brow =
            Polygon({ex + side * 5.f, ey - 6.f, ex - side * 4.5f, ey - 0.5f, ex - side * 4.5f, ey - 6.f});
        const Sdf eye = Subtract(Ellipse(ex, ey, 3.9f, 3.4f * sq), brow);
        c.Fill(Offset(eye, 0.8f), kInk);
        if (p.crossedEyes) {
            Line(c, {ex - 2.f, ey - 1.5f, ex + 2.f, ey + 2.f}, 1.2f, MakeRgb(255, 220, 60));
            Line(c, {ex - 2.f, ey + 2.f, ex + 2.f, ey - 1.5f}, 1.2f, MakeRgb(255, 220, 60));
        } else {
            c.Fill(eye, Radial(ex, ey, 4.f, MakeRgb(255, 255, 150), MakeRgb(255, 150, 20)));
            c.Fill(Ellipse(ex + dx * 1.6f, ey + 0.6f + dy * 1.f, 1.1f, 2.3f * sq), MakeRgb(150, 0, 20));
        }
        Line(c, {ex + side * 4.8f, ey - 4.6f, ex - side * 3.6f, ey - 1.2f}, 1.6f, kInk);
    }
    const float mx = cx + dx * 1.2f, my = Y(cy + 7.f);
    const Sdf mouth = Box(mx, my, 7.5f, 3.f * sq, 1.5f);
    c.Fill(Offset(mouth, 0.5f), kInk);
    c.Fill(mouth, MakeRgb(90, 0, 40));
    for (int i = 0; i < 5; ++i) {
        const float tx = mx - 6.f + i * 3.f;
        c.Fill(Polygon({tx - 1.3f, my - 3.f * sq, tx + 1.3f, my - 3.f * sq, tx, my - 0.4f}),
               MakeRgb(255, 255, 240));
        if (i < 4)
            c.Fill(Polygon({tx + 0.2f, my + 3.f * sq, tx + 2.8f, my + 3.f * sq, tx + 1.5f, my + 0.6f}),
                   MakeRgb(255, 255, 240));
    }
}

void DrawGhost(Canvas& c, const CreaturePose& p) {
    const float bob = p.frame == 1 ? -0.7f : p.frame == 3 ? 0.7f : 0.f;
    const float cx = p.cx, cy = p.cy + bob;
    const Sdf dome = Union(Circle(cx, cy - 3.f, 11.f), Box(cx, cy + 3.f, 11.f, 9.f));
    const Sdf body = Intersect(dome, Hem(cy + 11.5f, 2.4f, 0.95f, p.frame * kPi / 2, cx));
    // Solid, with a dark line and a cyan rim around it, so it shows over the
    // floor and over the brightest wall alike.
    c.Fill(Offset(body, 2.1f), MakeRgb(90, 240, 255));
    Inked(c, body,
          Shaded(cx, cy - 3.f, 12.f, MakeRgb(255, 255, 255), MakeRgb(226, 238, 255), MakeRgb(160, 186, 240)),
          1.2f);
    if (p.keep < 1.f) c.DitherOut(Offset(body, 2.1f), p.keep, 0);
    float dx, dy;
    DirVector(p.look, dx, dy);
    if (p.look == Dir::Front) dy = 0.4f;
    for (float side : {-1.f, 1.f}) {
        const float ex = cx + side * 4.3f + dx * 1.2f, ey = cy - 3.f + dy * 0.8f;
        c.Fill(Ellipse(ex, ey, 2.9f, 3.7f), MakeRgb(34, 36, 100));
        c.Fill(Circle(ex + dx * 1.1f, ey + dy * 1.4f, 1.3f), MakeRgb(150, 255, 255));
    }
    c.Fill(Ellipse(cx + dx * 1.2f, cy + 4.8f, 1.6f, 2.1f), MakeRgb(34, 36, 100));
}

void DrawSparkle(Canvas& c, float cx, float cy, float size, Rgb colour) {
    const float w = size * 0.28f;
    const Sdf star = Union(Polygon({cx, cy - size, cx + w, cy, cx, cy + size, cx - w, cy}),
                           Polygon({cx - size, cy, cx, cy - w, cx + size, cy, cx, cy + w}));
    c.Fill(star, colour);
    c.Fill(Circle(cx, cy, w * 0.9f), MakeRgb(255, 255, 255));
}

// ------------------------------------------------------------------ bonus icons

void DrawMoneyBag(Canvas& c, float cx, float cy, int phase) {
    const Sdf sack = Union(
        Union(Circle(cx, cy + 3.5f, 9.5f),
              Polygon({cx - 4.5f, cy - 5.f, cx + 4.5f, cy - 5.f, cx + 2.f, cy - 8.5f, cx - 2.f, cy - 8.5f})),
        Ellipse(cx, cy - 9.5f, 5.5f, 2.6f));
    Inked(c, sack,
          Shaded(cx, cy + 2.f, 10.f, MakeRgb(255, 236, 170), MakeRgb(222, 170, 84), MakeRgb(150, 96, 40)));
    c.Fill(Box(cx, cy - 5.5f, 4.8f, 1.3f, 0.6f), MakeRgb(120, 60, 30));
    const Rgb green = MakeRgb(24, 130, 50);
    c.Fill(Segment(cx, cy - 3.f, cx, cy + 10.f, 0.75f), green);
    Line(c, {cx + 3.3f, cy - 0.2f, cx + 1.f,  cy - 1.2f, cx - 1.8f, cy - 0.7f, cx - 3.f,
             cy + 1.2f, cx - 1.5f, cy + 3.2f, cx + 1.5f, cy + 3.8f, cx + 3.f,  cy + 5.6f,
             cx + 1.8f, cy + 7.6f, cx - 1.f,  cy + 8.f,  cx - 3.3f, cy + 7.f},
         1.6f, green);
    const float gx[4] = {-6.f, -3.f, 1.f, 5.f}, gy[4] = {-1.f, -3.f, -4.f, -2.f};
    DrawSparkle(c, cx + gx[phase], cy + gy[phase] + 2.f, phase % 2 ? 2.2f : 3.f, MakeRgb(255, 255, 200));
}

void DrawHeart(Canvas& c, const PixelFont& pf, float cx, float cy, float size, int phase) {
    const float k = size;
    const Sdf heart =
        Union(Union(Circle(cx - 5.f * k, cy - 3.f * k, 6.f * k), Circle(cx + 5.f * k, cy - 3.f * k, 6.f * k)),
              Polygon({cx - 10.6f * k, cy - 1.5f * k, cx + 10.6f * k, cy - 1.5f * k, cx, cy + 11.f * k}));
    Inked(c, heart,
          Shaded(cx, cy - 2.f, 12.f * k, MakeRgb(255, 170, 180), MakeRgb(240, 40, 70), MakeRgb(150, 10, 40)));
    c.Fill(Ellipse(cx - 6.f * k, cy - 5.5f * k, 2.4f * k, 1.5f * k), MakeRgb(255, 230, 235));
    const float s = c.ScaleFactor();
    pf.Draw(c, "1UP", c.Ox() + s * cx, c.Oy() + s * (cy + 1.5f), std::max(1, int(s)), MakeRgb(255, 255, 255),
            MakeRgb(110, 0, 30));
    (void)phase;
}

void DrawSnail(Canvas& c, float cx, float cy, int phase) {
    const float sway = (phase == 1 ? 1.f : phase == 3 ? -1.f : 0.f);
    const Rgb skin = MakeRgb(160, 226, 96);
    Inked(c, Segment(cx - 9.5f, cy + 8.f, cx + 11.f, cy + 8.5f, 3.f),
          Linear(0, cy + 5, MakeRgb(200, 250, 140), 0, cy + 11, MakeRgb(100, 170, 60)));
    Inked(c, Circle(cx - 9.f, cy + 4.5f, 3.8f), Solid(skin));
    for (float side : {0.f, 1.f}) {
        const float bx = cx - 10.5f + side * 3.f, tx = bx - 2.f + side * 2.5f + sway;
        c.Fill(Segment(bx, cy + 2.f, tx, cy - 5.f, 1.2f), kInk);
        c.Fill(Segment(bx, cy + 2.f, tx, cy - 5.f, 0.6f), skin);
        c.Fill(Circle(tx, cy - 5.5f, 1.6f), kInk);
        c.Fill(Circle(tx, cy - 5.5f, 1.f), MakeRgb(255, 255, 255));
    }
    const float sx = cx + 3.f, sy = cy - 0.5f;
    Inked(c, Circle(sx, sy, 8.5f),
          Shaded(sx, sy, 9.f, MakeRgb(255, 214, 150), MakeRgb(230, 130, 50), MakeRgb(140, 64, 20)));
    const Rgb groove = MakeRgb(120, 50, 20);
    c.Stroke(Circle(sx + 0.8f, sy + 0.5f, 5.6f), 1.2f, groove);
    c.Stroke(Intersect(Circle(sx + 1.6f, sy + 0.2f, 2.8f), [sx](float x, float) { return sx - 0.5f - x; }),
             1.2f, groove);
    c.Fill(Circle(sx + 1.4f, sy + 0.3f, 1.1f), groove);
}

void DrawTwins(Canvas& c, const PixelFont& pf, float cx, float cy, int phase) {
    ChomperPose back{cx + 4.5f, cy - 3.f, 8.5f, Dir::Right, phase % 2 ? 0.2f : 0.6f};
    ChomperPose front{cx - 3.f, cy + 3.f, 9.5f, Dir::Right, phase % 2 ? 0.6f : 0.2f};
    DrawChomper(c, back);
    DrawChomper(c, front);
    const float s = c.ScaleFactor();
    pf.Draw(c, "X2", c.Ox() + s * (cx + 9.f), c.Oy() + s * (cy + 10.f), std::max(1, int(s)),
            MakeRgb(120, 255, 140), kInk);
}

void DrawBomb(Canvas& c, float cx, float cy, int phase) {
    const float bx = cx - 1.5f, by = cy + 3.f;
    Inked(c, Circle(bx, by, 9.5f),
          Shaded(bx, by, 10.f, MakeRgb(150, 150, 200), MakeRgb(64, 64, 98), MakeRgb(28, 28, 48)));
    c.Fill(Ellipse(bx - 3.5f, by - 4.f, 2.6f, 1.6f), MakeRgb(220, 220, 255));
    const Sdf cap = Rotate(Box(bx + 5.5f, by - 7.5f, 3.f, 2.2f, 0.6f), bx + 5.5f, by - 7.5f, -0.7f);
    Inked(c, cap, Solid(MakeRgb(150, 150, 170)), 0.9f);
    Line(c, {bx + 7.f, by - 9.5f, bx + 9.f, by - 12.f, bx + 11.5f, by - 12.5f}, 1.4f, MakeRgb(200, 160, 110));
    const Rgb sparks[4] = {MakeRgb(255, 230, 80), MakeRgb(255, 150, 40), MakeRgb(255, 255, 200),
                           MakeRgb(255, 110, 40)};
    DrawSparkle(c, bx + 12.f, by - 13.f, phase % 2 ? 4.f : 3.f, sparks[phase]);
}

void DrawTarget(Canvas& c, float cx, float cy, int phase) {
    Scaled(c, cx, cy + 1.f, 0.62f, [&] { DrawMonster(c, CreaturePose{16, 16, Dir::Front, 0}); });
    const float r = 11.f - (phase % 2) * 0.8f;
    const Rgb red = MakeRgb(255, 50, 50);
    c.Stroke(Circle(cx, cy, r), 2.6f, kInk);
    c.Stroke(Circle(cx, cy, r), 1.4f, red);
    const float a0 = phase * kPi / 8;
    for (int i = 0; i < 4; ++i) {
        const float a = a0 + i * kPi / 2, ca = std::cos(a), sa = std::sin(a);
        c.Fill(Segment(cx + ca * (r - 4.f), cy + sa * (r - 4.f), cx + ca * (r + 3.5f), cy + sa * (r + 3.5f),
                       1.3f),
               kInk);
        c.Fill(Segment(cx + ca * (r - 4.f), cy + sa * (r - 4.f), cx + ca * (r + 3.5f), cy + sa * (r + 3.5f),
                       0.7f),
               red);
    }
}

void DrawSwapKey(Canvas& c, float cx, float cy, int phase) {
    c.Fill(Box(cx, cy + 2.f, 13.f, 12.f, 4.f), kInk);
    c.Fill(Box(cx, cy + 1.5f, 12.f, 11.f, 3.5f), MakeRgb(140, 140, 170));
    c.Fill(Box(cx, cy - 0.5f, 10.5f, 9.5f, 3.f),
           Linear(0, cy - 10, MakeRgb(255, 255, 255), 0, cy + 9, MakeRgb(205, 205, 225)));
    const float shift = (phase == 1 || phase == 2) ? 1.2f : 0.f;
    auto arrow = [&](float y, float dir, Rgb col) {
        const float x0 = cx - 6.f * dir + shift * dir, x1 = cx + 6.f * dir + shift * dir;
        const Sdf a =
            Union(Segment(x0, y, x1 - 2.f * dir, y, 1.2f),
                  Polygon({x1 + 1.f * dir, y, x1 - 3.5f * dir, y - 3.8f, x1 - 3.5f * dir, y + 3.8f}));
        c.Fill(Offset(a, 0.8f), kInk);
        c.Fill(a, col);
    };
    arrow(cy - 4.f, 1.f, MakeRgb(40, 120, 255));
    arrow(cy + 3.f, -1.f, MakeRgb(240, 50, 60));
}

void DrawKey(Canvas& c, float cx, float cy, float angle, int phase) {
    const Sdf bow = Subtract(Circle(cx - 6.5f, cy, 5.8f), Circle(cx - 6.5f, cy, 2.3f));
    const Sdf shaft = Box(cx + 3.f, cy, 7.5f, 1.7f, 0.6f);
    const Sdf teeth = Union(Box(cx + 8.5f, cy + 3.f, 1.3f, 2.f), Box(cx + 4.8f, cy + 2.6f, 1.2f, 1.6f));
    const Sdf key = Rotate(Union(bow, Union(shaft, teeth)), cx, cy, angle);
    Inked(c, key, Linear(cx - 10, cy - 8, MakeRgb(255, 246, 170), cx + 10, cy + 8, MakeRgb(220, 150, 20)));
    const float gx[4] = {-8.f, -2.f, 4.f, 9.f};
    const float t = gx[phase];
    DrawSparkle(c, cx + t * std::cos(angle), cy + t * std::sin(angle) - 3.f, phase % 2 ? 2.5f : 3.2f,
                MakeRgb(255, 255, 220));
}

// ------------------------------------------------------------------ maze objects

void DrawGate(Canvas& c, float t, bool vertical) {
    // Drawn as a horizontal gate; a vertical one is the same turned a quarter.
    auto R = [vertical](Sdf s) { return vertical ? Rotate(std::move(s), 16.f, 16.f, kPi / 2) : s; };
    const Rgb steel = MakeRgb(130, 140, 178), steelLight = MakeRgb(200, 210, 240);
    const float len = 11.f * t;
    for (float side : {-1.f, 1.f}) {
        const float inner = 16.f + side * 11.f;  // edge of the post
        if (len > 0.2f) {
            const float x0 = std::min(inner, inner - side * len), x1 = std::max(inner, inner - side * len);
            const Sdf panel = R(Box((x0 + x1) / 2, 16.f, (x1 - x0) / 2 + 0.5f, 4.8f, 1.2f));
            c.Fill(Offset(panel, 1.f), kInk);
            c.Fill(panel, MakeRgb(250, 180, 40));
            for (float y : {13.5f, 18.5f})
                c.Fill(R(Box((x0 + x1) / 2, y, (x1 - x0) / 2 + 0.5f, 0.6f)), MakeRgb(170, 90, 20));
            for (float x = x0 + 1.5f; x < x1; x += 4.f)
                c.Fill(R(Box(x, 16.f, 0.6f, 4.8f)), MakeRgb(255, 230, 140));
        }
        const Sdf post = R(Box(16.f + side * 13.5f, 16.f, 2.6f, 8.f, 1.2f));
        c.Fill(Offset(post, 1.f), kInk);
        c.Fill(post, steel);
        c.Fill(R(Box(16.f + side * 13.5f - 0.8f, 16.f, 0.8f, 6.5f)), steelLight);
        c.Fill(R(Circle(16.f + side * 13.5f, 10.f, 0.9f)), kInk);
        c.Fill(R(Circle(16.f + side * 13.5f, 22.f, 0.9f)), kInk);
    }
    if (t > 0.99f) {
        const Sdf plate = R(Circle(16.f, 16.f, 4.f));
        c.Fill(Offset(plate, 0.9f), kInk);
        c.Fill(plate, Radial(15.f, 15.f, 4.f, MakeRgb(255, 250, 200), MakeRgb(210, 150, 40)));
        c.Fill(R(Union(Circle(16.f, 15.f, 1.2f), Box(16.f, 17.2f, 0.6f, 1.6f))), kInk);
    }
}

void DrawRedBall(Canvas& c, float radius, float halo) {
    const Sdf ball = Circle(16.f, 16.f, radius);
    c.Fill(Offset(ball, 1.f), kInk);
    c.Fill(ball,
           Shaded(16.f, 16.f, radius, MakeRgb(255, 180, 170), MakeRgb(236, 30, 44), MakeRgb(120, 0, 20)));
    c.Fill(Ellipse(16.f - radius * 0.35f, 16.f - radius * 0.42f, radius * 0.32f, radius * 0.22f),
           MakeRgb(255, 240, 240));
    c.Halo(Offset(ball, 1.f), 4.5f, MakeRgb(255, 60, 60), halo);
}

void DrawDot(Canvas& c) {
    c.Fill(Circle(16.f, 16.f, 3.4f), MakeRgb(236, 140, 60));
    c.Fill(Circle(16.f, 16.f, 2.5f), MakeRgb(255, 214, 150));
    c.Fill(Circle(15.6f, 15.6f, 1.2f), MakeRgb(255, 255, 240));
    c.Halo(Circle(16.f, 16.f, 3.4f), 2.6f, MakeRgb(255, 150, 60), 0.55f);
}

}  // namespace assetgen
