// Every sixth level announces a password that later starts the game at the
// level after it: entry i starts level 6 x i + 1.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace game {

constexpr int32_t LevelsPerPassword = 6;
constexpr std::array<std::string_view, 4> LevelPasswords = {"TOQ", "BRAMWEL", "KIV", "DUNSTOR"};

}  // namespace game
