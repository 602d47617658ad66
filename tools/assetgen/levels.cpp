// The shipped levels: each map is checked (size, dots, start cells, every dot
// reachable), copied to Levels\LevelNN.map, and given its background picture
// Levels\LevelNN.bmp of MapWidth x 32 by MapHeight x 32 pixels with the walls
// drawn as rounded, glowing outlines in the level's colour theme.
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <sstream>
#include <stdexcept>

#include "context.h"
#include "formats/ini_file.h"

namespace assetgen {

namespace {

constexpr int kCell = 32;
constexpr int kMaxSide = 17;  // what the screen layout leaves room for
constexpr int kMinDots = 60;

struct Level {
    std::string file;
    int width = 0, height = 0;
    std::vector<std::string> rows;
    formats::IniFile ini;

    int Int(const std::string& key) const {
        const std::string v = ini.ReadString("General", key, "");
        if (v.empty()) throw std::runtime_error(file + ": missing key " + key);
        return std::stoi(v);
    }
    char At(int x, int y) const { return rows[size_t(y)][size_t(x)]; }
    bool Wall(int x, int y) const { return At(x, y) == 'B'; }
    bool Gate(int x, int y) const { return At(x, y) == 'I' || At(x, y) == 'J'; }
};

Level ReadLevel(const fs::path& path) {
    Level lv;
    lv.file = path.filename().string();
    const std::string text = ReadText(path);
    lv.ini = formats::IniFile::FromText(text);
    if (!lv.ini.HasSection("General")) throw std::runtime_error(lv.file + ": no [General] section");
    lv.width = lv.Int("MapWidth");
    lv.height = lv.Int("MapHeight");
    if (lv.width < 1 || lv.width > kMaxSide || lv.height < 1 || lv.height > kMaxSide)
        throw std::runtime_error(lv.file + ": the maze must fit in 17 x 17 cells");
    std::istringstream in(text);
    std::string line;
    bool inMap = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!inMap) {
            inMap = line.rfind("[Map]", 0) == 0;
            continue;
        }
        if (int(lv.rows.size()) == lv.height) break;
        if (int(line.size()) != lv.width)
            throw std::runtime_error(lv.file + ": map row of wrong length: " + line);
        for (char ch : line)
            if (std::string("ABCDIJ").find(ch) == std::string::npos)
                throw std::runtime_error(lv.file + ": unknown cell letter in " + line);
        lv.rows.push_back(line);
    }
    if (int(lv.rows.size()) != lv.height) throw std::runtime_error(lv.file + ": too few map rows");
    return lv;
}

// Cells reachable from the player's start, through open maze edges too (they
// lead to the opposite edge); gates pass only when `gatesOpen`.
std::vector<bool> Reachable(const Level& lv, bool gatesOpen) {
    const int w = lv.width, h = lv.height;
    std::vector<bool> seen(size_t(w) * h, false);
    auto open = [&](int x, int y) { return !lv.Wall(x, y) && (gatesOpen || !lv.Gate(x, y)); };
    std::deque<std::pair<int, int>> todo{{lv.Int("PlayerPointX"), lv.Int("PlayerPointY")}};
    seen[size_t(todo[0].second) * w + todo[0].first] = true;
    while (!todo.empty()) {
        const auto [x, y] = todo.front();
        todo.pop_front();
        const int dx[4] = {0, 1, 0, -1}, dy[4] = {-1, 0, 1, 0};
        for (int d = 0; d < 4; ++d) {
            const int nx = (x + dx[d] + w) % w, ny = (y + dy[d] + h) % h;
            if (!open(nx, ny) || seen[size_t(ny) * w + nx]) continue;
            seen[size_t(ny) * w + nx] = true;
            todo.emplace_back(nx, ny);
        }
    }
    return seen;
}

void CheckLevel(const Level& lv) {
    const int w = lv.width, h = lv.height;
    auto fail = [&](const std::string& why) { throw std::runtime_error(lv.file + ": " + why); };
    auto openCell = [&](const char* kx, const char* ky, const char* what) {
        const int x = lv.Int(kx), y = lv.Int(ky);
        if (x < 0 || y < 0 || x >= w || y >= h || lv.Wall(x, y) || lv.Gate(x, y))
            fail(std::string(what) + " does not start on open floor");
    };
    openCell("PlayerPointX", "PlayerPointY", "the player");
    if (lv.Int("EnemyCount") > 0) openCell("EnemyPointX", "EnemyPointY", "the monsters");
    if (lv.Int("BossCount") > 0) openCell("BossPointX", "BossPointY", "the boss");
    if (lv.Int("GhostCount") > 0) openCell("GhostPointX", "GhostPointY", "the ghost");
    const bool key = lv.Int("KeyExist") != 0;
    if (key) openCell("KeyPointX", "KeyPointY", "the key");
    // An open edge cell leads to the opposite edge, which must be open too.
    for (int y = 0; y < h; ++y)
        if (lv.Wall(0, y) != lv.Wall(w - 1, y)) fail("a side tunnel has no exit opposite");
    for (int x = 0; x < w; ++x)
        if (lv.Wall(x, 0) != lv.Wall(x, h - 1)) fail("a top or bottom tunnel has no exit opposite");

    const std::vector<bool> free = Reachable(lv, false), all = Reachable(lv, key);
    int dots = 0, freeDots = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (lv.At(x, y) != 'A') continue;
            ++dots;
            if (!all[size_t(y) * w + x])
                fail("the dot at " + std::to_string(x) + "," + std::to_string(y) + " cannot be reached");
            if (free[size_t(y) * w + x]) ++freeDots;
        }
    if (dots < kMinDots) fail("fewer than 60 dots");
    if (key) {
        if (!free[size_t(lv.Int("KeyPointY")) * w + lv.Int("KeyPointX")]) fail("the key lies behind a gate");
        // The key appears at 49 to 51 percent eaten, so that share must be
        // reachable before the gates open.
        if (freeDots * 100 < dots * 52) fail("too many dots behind the gates for the key to appear");
    }
}

// Euclidean distance from every pixel to the nearest pixel where `inside` is
// set (two passes of the one-dimensional lower-envelope transform).
std::vector<float> DistanceTo(const std::vector<bool>& inside, int w, int h) {
    const float inf = 1e20f;
    std::vector<float> f(size_t(w) * h);
    for (size_t i = 0; i < f.size(); ++i) f[i] = inside[i] ? 0.f : inf;
    auto pass = [](std::vector<float>& line) {
        const int n = int(line.size());
        std::vector<float> out(n), z(n + 1);
        std::vector<int> v(n);
        int k = 0;
        v[0] = 0;
        z[0] = -std::numeric_limits<float>::infinity();
        z[1] = std::numeric_limits<float>::infinity();
        auto meet = [&](int q, int p) {
            return ((line[q] + float(q) * q) - (line[p] + float(p) * p)) / (2.f * q - 2.f * p);
        };
        for (int q = 1; q < n; ++q) {
            float s = meet(q, v[k]);
            while (s <= z[k]) {
                --k;
                s = meet(q, v[k]);
            }
            ++k;
            v[k] = q;
            z[k] = s;
            z[k + 1] = std::numeric_limits<float>::infinity();
        }
        k = 0;
        for (int q = 0; q < n; ++q) {
            while (z[k + 1] < q) ++k;
            out[q] = (q - v[k]) * float(q - v[k]) + line[v[k]];
        }
        line = out;
    };
    std::vector<float> line;
    for (int x = 0; x < w; ++x) {
        line.resize(h);
        for (int y = 0; y < h; ++y) line[y] = f[size_t(y) * w + x];
        pass(line);
        for (int y = 0; y < h; ++y) f[size_t(y) * w + x] = line[y];
    }
    for (int y = 0; y < h; ++y) {
        line.assign(f.begin() + size_t(y) * w, f.begin() + size_t(y + 1) * w);
        pass(line);
        std::copy(line.begin(), line.end(), f.begin() + size_t(y) * w);
    }
    for (float& d : f) d = std::sqrt(d);
    return f;
}

Rgb ThemeColour(const formats::IniFile& themes, const std::string& theme, const char* key) {
    const std::string v = themes.ReadString(theme, key, "");
    if (v.empty()) throw std::runtime_error("theme " + theme + " has no " + key);
    const auto parts = Split(v, ',');
    if (parts.size() != 3) throw std::runtime_error("theme " + theme + ": bad colour " + v);
    return MakeRgb(std::stoi(parts[0]), std::stoi(parts[1]), std::stoi(parts[2]));
}

Canvas Background(const Level& lv, const formats::IniFile& themes, const std::string& theme) {
    const Rgb wall = ThemeColour(themes, theme, "Wall"), edge = ThemeColour(themes, theme, "Edge");
    const Rgb floor = ThemeColour(themes, theme, "Floor"), glow = ThemeColour(themes, theme, "Glow");
    // Distances are taken on a grid with one cell of floor around the maze,
    // so the outer walls are outlined on every side.
    const int pad = kCell, W = lv.width * kCell + 2 * pad, H = lv.height * kCell + 2 * pad;
    std::vector<bool> isFloor(size_t(W) * H, true);
    for (int y = 0; y < lv.height * kCell; ++y)
        for (int x = 0; x < lv.width * kCell; ++x)
            if (lv.Wall(x / kCell, y / kCell)) isFloor[size_t(y + pad) * W + x + pad] = false;
    // The wall's core lies deeper than kCore pixels inside; the rounded tube
    // drawn around it keeps a small gap to the corridors.
    constexpr float kCore = 11.f, kTube = 9.f;
    const std::vector<float> toFloor = DistanceTo(isFloor, W, H);
    std::vector<bool> core(isFloor.size());
    for (size_t i = 0; i < core.size(); ++i) core[i] = toFloor[i] > kCore;
    const std::vector<float> toCore = DistanceTo(core, W, H);

    Canvas c(lv.width * kCell, lv.height * kCell);
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const float d = toCore[size_t(y + pad) * W + x + pad] - kTube;  // below 0: inside the tube
            // Floor: a faint checker of cells and the walls' glow.
            const bool odd = ((x / kCell) + (y / kCell)) % 2;
            Rgb px = Scale(floor, odd ? 1.12f : 0.92f);
            if (d > 0.f && d < 8.f) px = Mix(px, glow, 0.28f * (1.f - d / 8.f) * (1.f - d / 8.f));
            if (d <= 0.5f) {
                const float depth = std::clamp(-d / kTube, 0.f, 1.f);
                const Rgb body = Mix(Scale(wall, 1.3f), Scale(wall, 0.6f), depth);
                px = Mix(px, body, std::clamp(0.5f - d, 0.f, 1.f));
                // The bright outline and a thinner inner line.
                const float outer = std::clamp(1.4f - std::fabs(d + 1.2f), 0.f, 1.f);
                const float inner = std::clamp(0.9f - std::fabs(d + 5.f), 0.f, 1.f) * 0.55f;
                px = Mix(px, edge, std::max(outer, inner));
            }
            c.At(x, y) = Rgba{px.r, px.g, px.b, 1.f};
        }
    return c;
}

}  // namespace

void MakeLevels(Context& cx) {
    const fs::path dir = cx.Source() / "levels";
    const formats::IniFile themes = formats::IniFile::FromText(ReadText(dir / "themes.ini"));
    std::vector<fs::path> maps;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().extension() == ".map") maps.push_back(e.path());
    std::sort(maps.begin(), maps.end());  // directory order is not stable
    for (const fs::path& p : maps) {
        const Level lv = ReadLevel(p);
        CheckLevel(lv);
        const std::string theme = lv.ini.ReadString("General", "Theme", "");
        if (theme.empty() || !themes.HasSection(theme))
            throw std::runtime_error(lv.file + ": unknown or missing Theme");
        const std::string text = ReadText(p);
        WriteBytes(cx.Output() / "Levels" / p.filename(), std::vector<uint8_t>(text.begin(), text.end()));
        cx.Add(Picture{"Levels\\" + p.stem().string() + ".bmp", Background(lv, themes, theme),
                       lv.width * kCell, lv.height * kCell, true});
    }
}

}  // namespace assetgen
