#include "game/level_check.h"

#include <cmath>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string>

#include "formats/files.h"
#include "formats/ini_file.h"
#include "game/maze_geometry.h"

namespace game {

namespace {

bool Inside(const TMazeMap& map, int32_t x, int32_t y) {
    return x >= 0 && y >= 0 && x < map.MapWidth && y < map.MapHeight;
}

bool IsGate(int32_t code) { return code == CellGateHoriz || code == CellGateVert; }

std::string Cell(const TPoint& p) { return "(" + std::to_string(p.X) + ", " + std::to_string(p.Y) + ")"; }

class Checker {
public:
    explicit Checker(const TLevel& level) : level_(level) {}

    LevelReport Run() {
        report_.Dots = CountDots(level_);
        CheckSize();
        CheckEdges();
        const bool playerOk = CheckStart(level_.PlayerPoint, "the player", false);
        bool keyOk = false;
        if (level_.KeyExist != 0) keyOk = CheckStart(level_.KeyPoint, "the key", false);
        static const char* const kKinds[MonsterKindCount] = {"the ordinary monster", "the boss", "the ghost"};
        for (int k = 0; k < MonsterKindCount; ++k) {
            if (level_.MonsterCount[k] > 0) CheckStart(level_.MonsterPoint[k], kKinds[k], true);
        }
        if (report_.Dots == 0) Error("the maze has no dots");
        if (!playerOk) return report_;  // nothing can be walked from a bad start

        const std::vector<bool> before = Reach(false);
        // The gates open for good once the key is taken, and the key lies
        // where it was placed: it must be reachable with the gates shut.
        const bool keyTaken = keyOk && Seen(before, level_.KeyPoint);
        if (keyOk && !keyTaken) Error(level_.KeyPoint, "the key lies behind its own gates");
        const std::vector<bool> after = keyTaken ? Reach(true) : before;

        CheckDots(before, after, keyTaken);
        CheckGates(after);
        for (int k = mkOrdinary; k < mkGhost; ++k) {  // ghosts pass walls
            const TPoint& p = level_.MonsterPoint[k];
            if (level_.MonsterCount[k] > 0 && Inside(level_, p.X, p.Y) && Open(p, true) && !Seen(after, p))
                Warning(p, std::string(kKinds[k]) + " starts where the player can never come");
        }
        return report_;
    }

private:
    void Add(bool error, const TPoint* cell, const std::string& text) {
        LevelFinding f;
        f.Error = error;
        f.HasCell = cell != nullptr;
        if (cell) f.Cell = *cell;
        f.Text = text;
        report_.Findings.push_back(f);
    }
    void Error(const std::string& text) { Add(true, nullptr, text); }
    void Error(const TPoint& cell, const std::string& text) { Add(true, &cell, text); }
    void Warning(const std::string& text) { Add(false, nullptr, text); }
    void Warning(const TPoint& cell, const std::string& text) { Add(false, &cell, text); }

    int32_t Code(const TPoint& p) const { return GetCell(level_, p.X, p.Y); }
    bool Open(const TPoint& p, bool gatesOpen) const {
        const int32_t code = Code(p);
        return code != CellWall && (gatesOpen || !IsGate(code));
    }
    size_t Index(const TPoint& p) const { return size_t(p.Y) * size_t(level_.MapWidth) + size_t(p.X); }
    bool Seen(const std::vector<bool>& seen, const TPoint& p) const { return seen[Index(p)]; }

    void CheckSize() {
        if (level_.MapWidth > VisibleMapSide)
            Warning("the maze is " + std::to_string(level_.MapWidth) +
                    " columns wide: columns from 17 on run under the status panel at x = " +
                    std::to_string(kStatusPanelX));
        if (level_.MapHeight > VisibleMapSide)
            Warning("the maze is " + std::to_string(level_.MapHeight) +
                    " rows high: rows from 17 on run under the message line at y = 565");
        if (report_.Dots > 0 && report_.Dots < FewDots)
            Warning("only " + std::to_string(report_.Dots) + " dots; a level wants at least 60");
    }

    // Walking out of an open edge cell always succeeds (the ring around the
    // maze is open) and puts the walker on the opposite edge, untested.
    void CheckEdges() {
        const int32_t w = level_.MapWidth, h = level_.MapHeight;
        auto edge = [&](TPoint from, TPoint to) {
            if (Code(from) != CellWall && Code(to) == CellWall)
                Error(from, "the open edge leads into the wall at " + Cell(to) + " on the opposite side");
        };
        // An ordinary monster leaving through the left or top edge comes back
        // one cell short of the opposite edge.
        auto monsterEdge = [&](TPoint from, TPoint to) {
            if (level_.MonsterCount[mkOrdinary] > 0 && Code(from) != CellWall && Code(to) == CellWall)
                Warning(from, "an ordinary monster leaving here comes back inside the wall at " + Cell(to));
        };
        for (int32_t y = 0; y < h && w > 1; ++y) {
            edge({0, y}, {w - 1, y});
            edge({w - 1, y}, {0, y});
            if (w > 2) monsterEdge({0, y}, {w - 2, y});
        }
        for (int32_t x = 0; x < w && h > 1; ++x) {
            edge({x, 0}, {x, h - 1});
            edge({x, h - 1}, {x, 0});
            if (h > 2) monsterEdge({x, 0}, {x, h - 2});
        }
    }

    // A start cell must be open floor inside the maze; nothing walks off a
    // wall or a shut gate.
    bool CheckStart(const TPoint& p, const std::string& who, bool monster) {
        std::string why;
        if (!Inside(level_, p.X, p.Y))
            why = "starts outside the maze";
        else if (Code(p) == CellWall)
            why = "starts on a wall";
        else if (IsGate(Code(p)))
            why = "starts on a gate";
        if (!why.empty()) {
            Error(p, who + " " + why);
            return false;
        }
        const TPoint& player = level_.PlayerPoint;
        if (monster && std::abs(p.X - player.X) + std::abs(p.Y - player.Y) <= 1)
            Warning(p, who + " starts next to the player's start");
        return true;
    }

    // Cells the player can walk to from its start cell.
    std::vector<bool> Reach(bool gatesOpen) const {
        const int32_t w = level_.MapWidth, h = level_.MapHeight;
        std::vector<bool> seen(size_t(w) * size_t(h), false);
        std::deque<TPoint> todo{level_.PlayerPoint};
        seen[Index(level_.PlayerPoint)] = true;
        static const int32_t kDx[4] = {0, 1, 0, -1}, kDy[4] = {-1, 0, 1, 0};
        while (!todo.empty()) {
            const TPoint p = todo.front();
            todo.pop_front();
            for (int d = 0; d < 4; ++d) {
                const TPoint n{(p.X + kDx[d] + w) % w, (p.Y + kDy[d] + h) % h};
                if (!Open(n, gatesOpen) || seen[Index(n)]) continue;
                seen[Index(n)] = true;
                todo.push_back(n);
            }
        }
        return seen;
    }

    void CheckDots(const std::vector<bool>& before, const std::vector<bool>& after, bool keyTaken) {
        for (int32_t y = 0; y < level_.MapHeight; ++y) {
            for (int32_t x = 0; x < level_.MapWidth; ++x) {
                const TPoint p{x, y};
                if (Seen(before, p) && Code(p) == CellDot) ++report_.DotsBeforeKey;
                if (Seen(after, p)) continue;
                if (Code(p) == CellDot) Error(p, "the dot cannot be reached from the player's start");
                if (Code(p) == CellRedBall)
                    Warning(p, "the red ball cannot be reached from the player's start");
            }
        }
        if (!keyTaken || report_.Dots == 0) return;
        // The key is placed while the eaten share, rounded, is 49 to 51 per
        // cent; those dots must lie on this side of the gates.
        for (int32_t eaten = 0; eaten <= report_.DotsBeforeKey; ++eaten) {
            const double share = std::nearbyint(eaten * 100.0 / report_.Dots);
            if (share >= 49 && share <= 51) return;
        }
        Error(level_.KeyPoint, "the key never appears: it comes at 49% of the dots eaten, but only " +
                                   std::to_string(report_.DotsBeforeKey) + " of " +
                                   std::to_string(report_.Dots) + " dots lie before the gates");
    }

    void CheckGates(const std::vector<bool>& after) {
        const int32_t w = level_.MapWidth, h = level_.MapHeight;
        int32_t gates = 0;
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const TPoint p{x, y};
                if (!IsGate(Code(p))) continue;
                ++gates;
                int32_t sides = 0;
                const TPoint around[4] = {
                    {x, (y + h - 1) % h}, {(x + 1) % w, y}, {x, (y + 1) % h}, {(x + w - 1) % w, y}};
                for (const TPoint& n : around) sides += Code(n) != CellWall;
                if (sides < 2)
                    Error(p, "the gate leads nowhere: it has open floor on fewer than two sides");
                else if (level_.KeyExist == 0)
                    Warning(p, "the gate never opens: the level has no key");
                else if (!Seen(after, p))
                    Warning(p, "the gate cannot be reached from the player's start");
            }
        }
        if (level_.KeyExist != 0 && gates == 0) Warning(level_.KeyPoint, "the key opens no gate");
    }

    const TLevel& level_;
    LevelReport report_;
};

// The lines after the "[Map]" line (endings removed), or none without it.
std::optional<std::vector<std::string>> MapRows(const std::string& text) {
    const std::vector<std::string> lines = formats::SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, 5, "[Map]") == 0)
            return std::vector<std::string>(lines.begin() + i + 1, lines.end());
    }
    return std::nullopt;
}

// Why the reader refused a file it could open.
std::string Refusal(const std::string& text) {
    const formats::IniFile ini = formats::IniFile::FromText(text);
    const int32_t w = ini.ReadInteger("General", "MapWidth", 17),
                  h = ini.ReadInteger("General", "MapHeight", 17);
    if (w < 1 || w > MaxMapWidth || h < 1 || h > MaxMapHeight)
        return "the maze size " + std::to_string(w) + " x " + std::to_string(h) +
               " is outside 1 x 1 to 25 x 20";
    const auto rows = MapRows(text);
    if (!rows) return "no [Map] line";
    if (rows->size() < size_t(h))
        return "only " + std::to_string(rows->size()) + " map rows for MapHeight = " + std::to_string(h);
    return "the maze has no dots";
}

// Map rows shorter than the maze: the reader closes them off with walls.
void CheckRowLengths(const std::string& text, const TLevel& level, LevelReport& report) {
    const auto rows = MapRows(text);
    for (int32_t r = 0; rows && r < level.MapHeight && size_t(r) < rows->size(); ++r) {
        const int32_t length = int32_t((*rows)[size_t(r)].size());
        if (length < level.MapWidth)
            report.Findings.push_back(
                LevelFinding{false,
                             true,
                             {length, r},
                             "the map row is shorter than MapWidth; the missing cells read as walls"});
    }
}

}  // namespace

bool LevelReport::HasErrors() const {
    for (const LevelFinding& f : Findings) {
        if (f.Error) return true;
    }
    return false;
}

int32_t CountDots(const TMazeMap& map) {
    int32_t dots = 0;
    for (int32_t y = 0; y < map.MapHeight; ++y) {
        for (int32_t x = 0; x < map.MapWidth; ++x) dots += GetCell(map, x, y) == CellDot;
    }
    return dots;
}

LevelReport CheckLevel(const TLevel& level) { return Checker(level).Run(); }

LevelReport CheckLevelFile(const std::string& path) {
    TLevel level;
    LevelReport report;
    auto refuse = [&](const std::string& why) {
        report.Findings.push_back(LevelFinding{true, false, {}, why});
        return report;
    };
    switch (LoadLevel(path, level)) {
        case LevelLoadResult::CantOpen: return refuse("cannot open the file");
        case LevelLoadResult::BadFile: {
            const auto bytes = formats::ReadFileBytes(path);
            return refuse("the game refuses the file: " +
                          Refusal(bytes ? std::string(bytes->begin(), bytes->end()) : std::string()));
        }
        case LevelLoadResult::Ok: break;
    }
    report = CheckLevel(level);
    const auto bytes = formats::ReadFileBytes(path);
    if (bytes) CheckRowLengths(std::string(bytes->begin(), bytes->end()), level, report);
    return report;
}

std::string FormatFinding(const std::string& file, const LevelFinding& finding) {
    return file + (finding.HasCell ? " " + Cell(finding.Cell) : std::string()) +
           (finding.Error ? ": error: " : ": warning: ") + finding.Text;
}

}  // namespace game
