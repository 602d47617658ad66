// The pictures of the screens: title, menu and option buttons, banners,
// headings and help pages. Sizes follow the places the game puts them on its
// 800 x 600 screen (noted at each picture).
#include <cmath>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "context.h"
#include "figures.h"

namespace assetgen {

using namespace shape;

namespace {

const Rgb kWhite = MakeRgb(255, 255, 255);
const Rgb kGold = MakeRgb(255, 206, 60);

void AddPicture(Context& cx, const std::string& name, Canvas c, bool overBlack) {
    const int w = c.Width(), h = c.Height();
    cx.Add(Picture{"Data\\Images\\" + name + ".bmp", std::move(c), w, h, overBlack});
}

// A rounded panel with a vertical gradient and a two-line border.
void Panel(Canvas& c, float x, float y, float w, float h, float radius, Rgb top, Rgb bottom, Rgb border) {
    const Sdf box = Box(x + w / 2, y + h / 2, w / 2, h / 2, radius);
    c.Fill(box, kInk);
    c.Fill(Offset(box, -2.f), Linear(0, y, top, 0, y + h, bottom));
    c.Stroke(Offset(box, -3.5f), 2.f, border);
    c.Stroke(Offset(box, -7.f), 1.f, Scale(border, 0.45f), 0.8f);
}

TextStyle Title(Rgb top, Rgb bottom, float y, float h, float outline, Rgb glow = Rgb{}, int glowRadius = 0) {
    TextStyle st;
    st.fill = Linear(0, y, top, 0, y + h, bottom);
    st.outline = outline;
    st.outlineColor = kInk;
    st.shadow = int(outline) + 1;
    st.shadowColor = MakeRgb(10, 4, 20);
    st.glow = glowRadius;
    st.glowColor = glow;
    return st;
}

TextStyle Plain(Rgb c) {
    TextStyle st;
    st.fill = Solid(c);
    return st;
}

// Draws a figure of the cast at (x, y), its 32-unit cell scaled by k.
void Figure(Canvas& c, float x, float y, float k, const std::function<void()>& draw) {
    c.SetTransform(x, y, k);
    draw();
    c.SetTransform(0, 0, 1);
}

// A keyboard key with a label, for prompts and the controls page.
int KeyCap(Canvas& c, const Font& f, const std::string& label, int x, int y, int h) {
    const int w = std::max(h, f.Measure(label) + 14);
    const Sdf cap = Box(x + w / 2.f, y + h / 2.f, w / 2.f, h / 2.f, 5.f);
    c.Fill(Offset(cap, 1.f), kInk);
    c.Fill(cap, MakeRgb(120, 124, 160));
    c.Fill(Box(x + w / 2.f, y + h / 2.f - 1.5f, w / 2.f - 2.f, h / 2.f - 3.f, 4.f),
           Linear(0, y, MakeRgb(255, 255, 255), 0, y + h, MakeRgb(200, 204, 230)));
    DrawTextCentred(c, f, label, x + w / 2, y + (h - f.LineHeight()) / 2 - 1, Plain(MakeRgb(30, 24, 60)));
    return w;
}

// ------------------------------------------------------------------ buttons

constexpr int kButtonW = 270, kButtonH = 42;  // main menu, help and Return
constexpr int kWideW = 440, kWideH = 40;      // options: x 180 to 620

// Normal: a calm dark pill. Active: bright, glowing, with the hero in it.
Canvas ButtonFace(Context& cx, const std::string& label, int w, int h, bool active, bool centred) {
    Canvas c(w, h);
    const float r = h / 2.f - 3.f;
    const Sdf pill = Box(w / 2.f, h / 2.f, w / 2.f - 3.f, h / 2.f - 3.f, r);
    const Font& f = cx.Rounded(15);
    const int ty = (h - f.LineHeight()) / 2;
    const int tx = centred ? (w - f.Measure(label)) / 2 : 42;
    if (active) {
        c.Glow(pill, 3.f, MakeRgb(255, 160, 40), 0.9f);
        c.Fill(Offset(pill, 1.f), MakeRgb(255, 250, 220));
        c.Fill(pill, Linear(0, 3, MakeRgb(255, 240, 140), 0, h - 3.f, MakeRgb(255, 140, 24)));
        c.Fill(Intersect(Offset(pill, -2.f), [h](float, float y) { return y - h * 0.42f; }),
               MakeRgb(255, 255, 255), 0.35f);
        Figure(c, 8.f, h / 2.f - 13.f, 26.f / 32.f, [&] {
            DrawChomper(c, ChomperPose{16, 16, 13, Dir::Right, 0.6f});
        });
        TextStyle st = Plain(MakeRgb(70, 16, 60));
        st.shadow = 1;
        st.shadowColor = MakeRgb(255, 250, 210);
        DrawText(c, f, label, tx, ty, st);
    } else {
        c.Fill(Offset(pill, 1.f), kInk);
        c.Fill(pill, Linear(0, 3, MakeRgb(40, 46, 110), 0, h - 3.f, MakeRgb(18, 20, 56)));
        c.Stroke(Offset(pill, -1.f), 1.6f, MakeRgb(80, 104, 200));
        c.Fill(Circle(21.f, h / 2.f, 3.f), MakeRgb(236, 140, 60));
        c.Fill(Circle(21.f, h / 2.f, 2.f), MakeRgb(255, 214, 150));
        DrawText(c, f, label, tx, ty, Plain(MakeRgb(180, 196, 240)));
    }
    return c;
}

void Button(Context& cx, const std::string& prefix, const std::string& label, int w = kButtonW,
            int h = kButtonH, bool centred = true) {
    AddPicture(cx, prefix + "_Normal", ButtonFace(cx, label, w, h, false, centred), true);
    AddPicture(cx, prefix + "_Active", ButtonFace(cx, label, w, h, true, centred), true);
}

// The groove of the options sliders: the marker's left edge moves from x 385
// to 565 on screen, so inside the 440-px button (left edge 180) the groove
// runs from 205 to 385 + the marker's width.
constexpr int kMarkerW = 16, kMarkerH = 40;
constexpr int kGrooveX0 = 385 - 180, kGrooveX1 = 565 - 180 + kMarkerW;

void SliderIcon(Canvas& c, int kind, float x, float y, Rgb col) {
    if (kind == 0) {  // a note
        c.Fill(Ellipse(x - 3.f, y + 5.f, 3.6f, 2.8f), col);
        c.Fill(Box(x + 0.2f, y - 2.f, 0.9f, 7.f), col);
        c.Fill(Polygon({x - 0.7f, y - 9.f, x + 6.f, y - 6.f, x + 6.f, y - 3.f, x - 0.7f, y - 5.5f}), col);
    } else if (kind == 1) {  // a loudspeaker with waves
        c.Fill(Polygon({x - 8.f, y - 3.f, x - 4.f, y - 3.f, x + 1.f, y - 8.f, x + 1.f, y + 8.f, x - 4.f,
                        y + 3.f, x - 8.f, y + 3.f}),
               col);
        c.Stroke(Intersect(Circle(x + 1.f, y, 5.f), [x](float px, float) { return x + 3.f - px; }), 1.6f,
                 col);
        c.Stroke(Intersect(Circle(x + 1.f, y, 9.f), [x](float px, float) { return x + 4.f - px; }), 1.6f,
                 col);
    } else {  // a lightning bolt
        c.Fill(Polygon({x + 2.f, y - 10.f, x - 6.f, y + 1.f, x - 0.5f, y + 1.f, x - 2.f, y + 10.f, x + 6.f,
                        y - 1.f, x + 0.5f, y - 1.f}),
               col);
    }
}

Canvas SliderFace(Context& cx, const std::string& label, int icon, bool active) {
    Canvas c = ButtonFace(cx, label, kWideW, kWideH, active, false);
    const float gy = kWideH / 2.f;
    const Sdf groove = Box((kGrooveX0 + kGrooveX1) / 2.f, gy, (kGrooveX1 - kGrooveX0) / 2.f, 6.f, 6.f);
    c.Fill(Offset(groove, 1.f), active ? MakeRgb(120, 50, 10) : MakeRgb(80, 104, 200));
    c.Fill(groove, Linear(0, gy - 6, MakeRgb(6, 8, 24), 0, gy + 6, MakeRgb(30, 34, 70)));
    // Fill level grows to the right, the louder or faster side.
    c.Fill(Intersect(Offset(groove, -2.f), Polygon({float(kGrooveX0), gy + 4.f, float(kGrooveX1), gy - 4.f,
                                                    float(kGrooveX1), gy + 4.f})),
           active ? MakeRgb(255, 200, 60) : MakeRgb(70, 120, 230));
    for (int i = 0; i <= 10; ++i) {
        const float x = kGrooveX0 + kMarkerW / 2.f + i * 18.f;
        c.Fill(Box(x, gy - 10.f, 0.5f, 2.f), active ? MakeRgb(110, 40, 40) : MakeRgb(120, 140, 220));
    }
    SliderIcon(c, icon, kWideW - 22.f, gy, active ? MakeRgb(90, 20, 60) : MakeRgb(180, 196, 240));
    return c;
}

Canvas Marker(bool active) {
    Canvas c(kMarkerW, kMarkerH);
    const Sdf knob = Box(kMarkerW / 2.f, kMarkerH / 2.f, kMarkerW / 2.f - 1.f, kMarkerH / 2.f - 1.f, 4.f);
    c.Fill(knob, kInk);
    if (active)
        c.Fill(Offset(knob, -1.2f), Linear(0, 0, MakeRgb(255, 250, 190), 0, kMarkerH, MakeRgb(255, 130, 20)));
    else
        c.Fill(Offset(knob, -1.2f),
               Linear(0, 0, MakeRgb(235, 238, 250), 0, kMarkerH, MakeRgb(120, 130, 170)));
    for (float y : {16.f, 20.f, 24.f})
        c.Fill(Box(kMarkerW / 2.f, y, 4.f, 0.6f), active ? MakeRgb(150, 60, 10) : MakeRgb(80, 86, 120));
    return c;
}

void MakeButtons(Context& cx) {
    // Main menu: centred at y 170 to 420, 50 px apart, on black.
    Button(cx, "NewGame", "New Game");
    Button(cx, "Password", "Password");
    Button(cx, "Options", "Options");
    Button(cx, "High Scores", "High Scores");
    Button(cx, "Help", "Help");
    Button(cx, "Exit", "Exit");
    // Help: at x 500 (Return at 495, 350); Return is also centred at y 500.
    Button(cx, "GameOverview", "Overview");
    Button(cx, "GameRules", "Rules");
    Button(cx, "InterfaceNotes", "Controls");
    Button(cx, "AboutVendra", "About Vendra");
    Button(cx, "Credits", "Credits");
    Button(cx, "Return", "Return");
    // Options: one column of wide buttons.
    Button(cx, "GameTypeClassic", "Game type: Classic", kWideW, kWideH);
    Button(cx, "GameTypeFeatures", "Game type: Features", kWideW, kWideH);
    Button(cx, "WindowMode", "Window mode", kWideW, kWideH);  // shown while full screen
    Button(cx, "FullScreen", "Full screen", kWideW, kWideH);  // shown while windowed
    const char* sliders[3][2] = {{"MusicVolume", "Music"}, {"WaveVolume", "Sound"}, {"GameSpeed", "Speed"}};
    for (int i = 0; i < 3; ++i) {
        AddPicture(cx, std::string(sliders[i][0]) + "_Normal", SliderFace(cx, sliders[i][1], i, false), true);
        AddPicture(cx, std::string(sliders[i][0]) + "_Active", SliderFace(cx, sliders[i][1], i, true), true);
    }
    // Main menu, after the first six: the level sets and the editor.
    Button(cx, "Levels", "Levels");
    Button(cx, "Editor", "Editor");
    // Shown only when a server is set, so the game adds them itself.
    Button(cx, "OnlineTableOff", "Online table: off", kWideW, kWideH);
    Button(cx, "OnlineTableOn", "Online table: on", kWideW, kWideH);
    AddPicture(cx, "Indicator_Normal", Marker(false), false);
    AddPicture(cx, "Indicator_Active", Marker(true), false);
}

// ------------------------------------------------------------------ headings and banners

void MakeHeadings(Context& cx) {
    {  // at (250, 100); the table is written below it from y 180
        Canvas c(300, 70);
        const Font& f = cx.Display(30);
        const int y = (70 - f.LineHeight()) / 2 + 4;
        DrawTextCentred(
            c, f, "HIGH SCORES", 150, y,
            Title(MakeRgb(255, 250, 190), MakeRgb(255, 150, 30), y, 40, 3, MakeRgb(255, 140, 0), 4));
        DrawSparkle(c, 14, 30, 7, kGold);
        DrawSparkle(c, 286, 30, 7, kGold);
        AddPicture(cx, "HighScoresList", std::move(c), true);
    }
    {  // at (300, 100), above the option buttons
        Canvas c(200, 70);
        const Font& f = cx.Display(30);
        const int y = (70 - f.LineHeight()) / 2 + 4;
        DrawTextCentred(
            c, f, "OPTIONS", 100, y,
            Title(MakeRgb(210, 250, 255), MakeRgb(60, 140, 255), y, 40, 3, MakeRgb(40, 120, 255), 4));
        AddPicture(cx, "Options_Screen", std::move(c), true);
    }
}

struct BannerSpec {
    const char* name;
    int w, h;
    Rgb top, bottom, border;
    const char* title;
    Rgb titleTop, titleBottom;
    int titleSize;
    std::vector<std::string> lines;
    int textHeight = 0;  // the text is centred in this top part; 0: the whole height
};

// The typed name or password is written at (300, 400) in red: a dark field
// with a warm border around that place, wide enough for twelve of the widest
// letters and the caret. Its place is on the screen, so it is found in a centred
// picture of this size.
void InputBox(Context& cx, Canvas& c, int pictureW, int pictureH, const std::string& label) {
    constexpr int kLeft = 286, kTop = 393, kWidth = 336, kHeight = 44;
    const float x = float(kLeft - (800 - pictureW) / 2), y = float(kTop - (600 - pictureH) / 2);
    const Font& f = cx.Display(16);
    DrawText(c, f, label, int(x) - 14 - f.Measure(label), int(y) + (kHeight - f.LineHeight()) / 2 + 1,
             Title(MakeRgb(255, 236, 220), MakeRgb(255, 150, 120), y + 12, 20, 1.5f));
    const Sdf box = Box(x + kWidth / 2.f, y + kHeight / 2.f, kWidth / 2.f, kHeight / 2.f, 9.f);
    c.Glow(box, 6.f, MakeRgb(255, 70, 60), 0.45f);
    c.Fill(box, MakeRgb(255, 150, 120));
    c.Fill(Offset(box, -2.5f), Linear(0, y, MakeRgb(12, 2, 6), 0, y + kHeight, MakeRgb(46, 10, 18)));
    c.Stroke(Offset(box, -5.f), 1.f, MakeRgb(120, 30, 40), 0.7f);
}

// A centred banner; `decorate` adds figures after the text.
void Banner(Context& cx, const BannerSpec& b, const std::function<void(Canvas&)>& decorate) {
    Canvas c(b.w, b.h);
    Panel(c, 0, 0, float(b.w), float(b.h), 18.f, b.top, b.bottom, b.border);
    const Font& tf = cx.Display(b.titleSize);
    const Font& lf = cx.Rounded(12);
    const int textH = tf.LineHeight() + int(b.lines.size()) * lf.LineHeight();
    int y = ((b.textHeight ? b.textHeight : b.h) - textH) / 2 + 2;
    DrawTextCentred(c, tf, b.title, b.w / 2, y,
                    Title(b.titleTop, b.titleBottom, float(y + 6), float(tf.LineHeight() - 12), 3));
    y += tf.LineHeight();
    for (const std::string& line : b.lines) {
        DrawTextCentred(c, lf, line, b.w / 2, y, Plain(MakeRgb(236, 236, 250)));
        y += lf.LineHeight();
    }
    if (decorate) decorate(c);
    AddPicture(cx, b.name, std::move(c), false);
}

void MakeBanners(Context& cx) {
    const Rgb sunTop = MakeRgb(255, 250, 180), sunBottom = MakeRgb(255, 150, 30);
    // Over the finished maze: centred, 440 x 150 (x 180..620, y 225..375).
    Banner(cx,
           {"LevelComplete",
            440,
            150,
            MakeRgb(70, 26, 130),
            MakeRgb(26, 10, 64),
            kGold,
            "LEVEL COMPLETE!",
            sunTop,
            sunBottom,
            26,
            {"Press an arrow or fire key to go on"}},
           [](Canvas& c) {
               Figure(c, 12, 50, 1.5f, [&] { DrawChomperGrin(c, 16, 16, 12, 1.f); });
               Figure(c, 440 - 12 - 48, 50, 1.5f, [&] { DrawVictim(c, CreaturePose{16, 16, Dir::Left, 1}); });
               DrawSparkle(c, 60, 110, 6, kGold);
               DrawSparkle(c, 380, 110, 6, kGold);
           });
    // Over the paused maze, answered with Y or N.
    Banner(cx,
           {"ExitPrompt",
            420,
            140,
            MakeRgb(20, 40, 110),
            MakeRgb(8, 14, 50),
            MakeRgb(110, 170, 255),
            "QUIT THIS GAME?",
            MakeRgb(220, 245, 255),
            MakeRgb(90, 170, 255),
            24,
            {" "}},
           [&](Canvas& c) {
               const Font& f = cx.Rounded(13);
               int x = 70;
               x += KeyCap(c, f, "Y", x, 82, 30) + 10;
               DrawText(c, f, "quit", x, 86, Plain(MakeRgb(236, 236, 250)));
               x = 230;
               x += KeyCap(c, f, "N", x, 82, 30) + 10;
               DrawText(c, f, "play on", x, 86, Plain(MakeRgb(236, 236, 250)));
           });
    // On its own screen after the last life.
    Banner(
        cx,
        {"GameOver",
         480,
         170,
         MakeRgb(110, 16, 30),
         MakeRgb(40, 4, 14),
         MakeRgb(255, 90, 80),
         "GAME OVER",
         MakeRgb(255, 230, 200),
         MakeRgb(255, 60, 40),
         40,
         {"Press an arrow or fire key"}},
        [](Canvas& c) {
            Figure(c, 22, 60, 1.5f, [&] {
                DrawChomper(c, ChomperPose{16, 16, 13, Dir::Right, 0.04f, ChomperPose::Crossed});
            });
            Figure(c, 480 - 22 - 48, 60, 1.5f, [&] { DrawMonster(c, CreaturePose{16, 16, Dir::Left, 0}); });
        });
    // After the last level.
    Banner(cx,
           {"GameComplete",
            560,
            220,
            MakeRgb(20, 90, 70),
            MakeRgb(6, 30, 30),
            MakeRgb(120, 255, 190),
            "YOU DID IT!",
            sunTop,
            sunBottom,
            40,
            {"Every maze is clean and Munch is full.", "Press an arrow or fire key"}},
           [](Canvas& c) {
               Figure(c, 22, 70, 1.8f, [&] { DrawChomperGrin(c, 16, 16, 12, 1.f); });
               Figure(c, 560 - 22 - 58, 70, 1.8f, [&] { DrawVictim(c, CreaturePose{16, 16, Dir::Left, 1}); });
               for (int i = 0; i < 9; ++i) {
                   c.Fill(Circle(100.f + i * 45.f, 196.f, 4.f), MakeRgb(236, 140, 60));
                   c.Fill(Circle(100.f + i * 45.f, 196.f, 2.8f), MakeRgb(255, 214, 150));
               }
           });
    // Name entry: "Your score" is written at y 100 and the name at y 400 in
    // the box of the picture (centred): 540 x 300 is y 150..450.
    Banner(cx,
           {"AddHighScore",
            540,
            300,
            MakeRgb(80, 30, 120),
            MakeRgb(26, 10, 56),
            kGold,
            "NEW HIGH SCORE!",
            sunTop,
            sunBottom,
            32,
            {"Type your name in the box,", "then press Enter."},
            240},
           [&](Canvas& c) {
               DrawSparkle(c, 40, 40, 9, kGold);
               DrawSparkle(c, 500, 40, 9, kGold);
               DrawSparkle(c, 60, 190, 6, MakeRgb(160, 255, 255));
               DrawSparkle(c, 480, 190, 6, MakeRgb(160, 255, 255));
               InputBox(cx, c, 540, 300, "NAME");
           });
    // The name the online table shows, asked once, in the same place.
    Banner(cx,
           {"OnlineName",
            540,
            300,
            MakeRgb(20, 70, 90),
            MakeRgb(6, 24, 36),
            MakeRgb(120, 230, 255),
            "ONLINE TABLE",
            MakeRgb(220, 250, 255),
            MakeRgb(80, 200, 255),
            32,
            {"Type the name the online table shows,", "then press Enter."},
            240},
           [&](Canvas& c) {
               DrawSparkle(c, 40, 40, 9, MakeRgb(160, 255, 255));
               DrawSparkle(c, 500, 40, 9, MakeRgb(160, 255, 255));
               InputBox(cx, c, 540, 300, "NAME");
           });
    // Password entry: the typed text is written at y 400, in the box.
    Banner(cx,
           {"EnterPassword",
            540,
            300,
            MakeRgb(20, 50, 100),
            MakeRgb(6, 16, 44),
            MakeRgb(110, 200, 255),
            "ENTER PASSWORD",
            MakeRgb(220, 250, 255),
            MakeRgb(80, 170, 255),
            30,
            {"Type the password in the box, then press Enter.", "Escape goes back to the menu."},
            240},
           [&](Canvas& c) {
               Figure(c, 480, 10, 1.2f, [&] { DrawKey(c, 16, 16, -0.6f, 1); });
               InputBox(cx, c, 540, 300, "PASSWORD");
           });
}

// ------------------------------------------------------------------ title picture

void MakeIntro(Context& cx) {
    Canvas c(800, 600);
    c.FillRect(0, 0, 800, 600, MakeRgb(0, 0, 0));
    c.Fill(Box(400, 300, 400, 300), Linear(0, 0, MakeRgb(14, 10, 44), 0, 600, MakeRgb(6, 4, 20)));
    // A maze-like frame around the picture.
    const Sdf frame = Box(400, 300, 384, 284, 26);
    c.Stroke(frame, 3.f, MakeRgb(50, 100, 255));
    c.Stroke(Offset(frame, -8.f), 2.f, MakeRgb(30, 56, 170));
    c.Glow(Offset(frame, 1.5f), 8.f, MakeRgb(40, 80, 255), 0.35f);
    // Rows of dots along the top and the bottom.
    for (int i = 0; i < 23; ++i) {
        for (float y : {40.f, 570.f}) {
            const float x = 48.f + i * 32.f;
            c.Fill(Circle(x, y, 3.2f), MakeRgb(236, 140, 60));
            c.Fill(Circle(x, y, 2.2f), MakeRgb(255, 220, 160));
        }
    }

    const Font& title = cx.Display(80);
    const int ty = 62;
    TextStyle st =
        Title(MakeRgb(255, 252, 190), MakeRgb(255, 120, 20), ty + 20.f, 80.f, 5.f, MakeRgb(255, 120, 0), 10);
    st.shadow = 8;
    DrawTextCentred(c, title, "MUNCHORA", 400, ty, st);
    const Font& tag = cx.Rounded(15);
    DrawTextCentred(c, tag, "The maze is hungry. So are you.", 400, 182, Plain(MakeRgb(150, 220, 255)));

    // The cast, each with a name and what it is worth.
    struct Member {
        const char* name;
        const char* note;
        std::function<void()> draw;
    };
    const Member cast[5] = {
        {"MUNCH", "the hero",
         [&] {
             DrawChomper(c, ChomperPose{16, 16, 13, Dir::Right, 0.6f});
         }},
        {"SNAPPER", "1000 when blue",
         [&] {
             DrawMonster(c, CreaturePose{16, 16, Dir::Left, 0});
         }},
        {"SCARED", "eat it!",
         [&] {
             DrawVictim(c, CreaturePose{16, 16, Dir::Left, 0});
         }},
        {"BRUTE", "5000",
         [&] {
             DrawBoss(c, CreaturePose{16, 16, Dir::Left, 0});
         }},
        {"WISP", "10000",
         [&] {
             DrawGhost(c, CreaturePose{16, 16, Dir::Left, 0});
         }},
    };
    const Font& nameFont = cx.Display(16);
    const Font& noteFont = cx.Rounded(11);
    for (int i = 0; i < 5; ++i) {
        const float x = 100.f + i * 150.f;
        c.Fill(Ellipse(x, 336, 40, 7), MakeRgb(20, 18, 60));
        Figure(c, x - 48.f, 236.f, 3.f, cast[i].draw);
        DrawTextCentred(c, nameFont, cast[i].name, int(x), 350,
                        Title(MakeRgb(255, 250, 220), MakeRgb(255, 190, 60), 352, 20, 2));
        DrawTextCentred(c, noteFont, cast[i].note, int(x), 376, Plain(MakeRgb(170, 190, 240)));
    }
    // A chase along a row of dots, well above the "Push <FIRE>" line.
    for (int i = 0; i < 12; ++i) {
        const float x = 330.f + i * 32.f;
        c.Fill(Circle(x, 446, 3.2f), MakeRgb(236, 140, 60));
        c.Fill(Circle(x, 446, 2.2f), MakeRgb(255, 220, 160));
    }
    Figure(c, 250, 426, 1.25f, [&] { DrawChomper(c, ChomperPose{16, 16, 13, Dir::Right, 0.5f}); });
    Figure(c, 150, 426, 1.25f, [&] { DrawMonster(c, CreaturePose{16, 16, Dir::Right, 1}); });
    Figure(c, 90, 426, 1.25f, [&] { DrawMonster(c, CreaturePose{16, 16, Dir::Right, 3}); });
    Figure(c, 36, 426, 1.25f, [&] { DrawBoss(c, CreaturePose{16, 16, Dir::Right, 2}); });
    // The keys of fire 1 beside the blinking "Push <FIRE>" at (330, 500).
    {
        const Font& keyFont = cx.Rounded(13);
        int x = 512;
        x += KeyCap(c, keyFont, "Space", x, 503, 28) + 8;
        DrawText(c, keyFont, "or", x, 507, Plain(MakeRgb(170, 190, 240)));
        x += keyFont.Measure("or") + 8;
        KeyCap(c, keyFont, "Z", x, 503, 28);
    }
    DrawTextCentred(c, cx.Rounded(9), "A VENDRA GAME", 400, 548, Plain(MakeRgb(110, 120, 170)));
    AddPicture(cx, "Intro", std::move(c), true);
}

// ------------------------------------------------------------------ key strip

// The keys of the game screen, quiet, in the status panel below the life
// icons: drawn at (590, 400), up to the bottom of the screen.
void MakeKeyHints(Context& cx) {
    constexpr int kW = 200, kH = 150, kRow = 29;
    Canvas c(kW, kH);
    const Font& keyFont = cx.Rounded(10);
    const Font& textFont = cx.Rounded(11);
    const Rgb text = MakeRgb(120, 150, 130);
    const struct {
        const char* key;
        const char* what;
    } rows[] = {{"Arrows", "steer"},
                {"P", "pause"},
                {"M", "music on/off"},
                {"Esc", "quit"},
                {"Alt+Enter", "full screen"}};
    for (int i = 0, y = 4; i < int(std::size(rows)); ++i, y += kRow)
        KeyCap(c, keyFont, rows[i].key, 0, y, 22);
    // The caps dimmed to sit behind the game; the words beside them at full
    // light, so that they read at better than 4.5:1 against the black.
    Canvas quiet(kW, kH);
    quiet.Blit(c, 0, 0, 0.7f);
    for (int i = 0, y = 4; i < int(std::size(rows)); ++i, y += kRow)
        DrawText(quiet, textFont, rows[i].what, 82, y + (22 - textFont.LineHeight()) / 2, Plain(text));
    AddPicture(cx, "KeyHints", std::move(quiet), true);
}

// ------------------------------------------------------------------ help pages

// Page sources: "# title", "## heading", "@Picture text" (a 32 x 32 icon
// with its text), "> Keys | text" (a key column) and plain paragraphs.
void HelpPage(Context& cx, const std::string& name) {
    constexpr int kW = 460, kH = 540, kMargin = 22;
    Canvas c(kW, kH);
    Panel(c, 0, 0, kW, kH, 20.f, MakeRgb(24, 28, 78), MakeRgb(10, 10, 34), MakeRgb(70, 130, 255));
    const Font& titleFont = cx.Display(24);
    const Font& headFont = cx.Display(14);
    const Font& body = cx.Rounded(10);
    const Font& keyFont = cx.Rounded(9);
    const TextStyle text = Plain(MakeRgb(222, 228, 245));
    const int textW = kW - 2 * kMargin;
    int y = 16;
    std::istringstream in(ReadText(cx.Source() / "help" / (name + ".txt")));
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line);
        if (line.empty()) {
            y += 6;
        } else if (line.rfind("## ", 0) == 0) {
            y += 4;
            DrawText(c, headFont, line.substr(3), kMargin, y,
                     Title(MakeRgb(255, 220, 120), MakeRgb(255, 150, 40), float(y + 4), 14, 1.5f));
            y += headFont.LineHeight();
        } else if (line.rfind("# ", 0) == 0) {
            DrawTextCentred(c, titleFont, line.substr(2), kW / 2, y,
                            Title(MakeRgb(255, 250, 190), MakeRgb(255, 160, 30), float(y + 6), 26, 2.5f));
            y += titleFont.LineHeight() + 6;
        } else if (line[0] == '@') {
            const size_t sp = line.find(' ');
            const Canvas icon = cx.FirstPattern(line.substr(1, sp - 1));
            const auto lines = body.Wrap(line.substr(sp + 1), textW - 42);
            const int h = std::max(33, int(lines.size()) * body.LineHeight() + 1);
            c.Blit(icon, kMargin, y + (h - 32) / 2);
            int ly = y + (h - int(lines.size()) * body.LineHeight()) / 2;
            for (const auto& l : lines) {
                DrawText(c, body, l, kMargin + 42, ly, text);
                ly += body.LineHeight();
            }
            y += h;
        } else if (line[0] == '>') {
            const size_t bar = line.find('|');
            const std::string keys = Trim(line.substr(1, bar - 1));
            const auto lines = body.Wrap(Trim(line.substr(bar + 1)), textW - 110);
            const int h = std::max(26, int(lines.size()) * body.LineHeight() + 4);
            KeyCap(c, keyFont, keys, kMargin, y + 2, 22);
            int ly = y + 3;
            for (const auto& l : lines) {
                DrawText(c, body, l, kMargin + 110, ly, text);
                ly += body.LineHeight();
            }
            y += h;
        } else {
            for (const auto& l : body.Wrap(line, textW)) {
                DrawText(c, body, l, kMargin, y, text);
                y += body.LineHeight();
            }
            y += 3;
        }
    }
    if (y > kH - 12)
        throw std::runtime_error("help page " + name + " is too long: " + std::to_string(y) + " px");
    AddPicture(cx, name, std::move(c), true);
}

}  // namespace

void MakeScreens(Context& cx) {
    MakeButtons(cx);
    MakeHeadings(cx);
    MakeBanners(cx);
    MakeIntro(cx);
    MakeKeyHints(cx);
    for (const char* page : {"GameOverview", "GameRules", "InterfaceNotes", "AboutVendra", "Credits"})
        HelpPage(cx, page);
}

}  // namespace assetgen
