#include "platform/input.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace platform {

namespace {

struct StateKeys {
    InputState state;
    uint16_t keys[3];
};

// Keyboard layout of the input states: vi-style letters, arrows and keypad.
constexpr StateKeys kStateKeys[] = {
    {isUp, {'K', vk::Up, vk::Numpad0 + 8}},
    {isDown, {'J', vk::Down, vk::Numpad0 + 2}},
    {isLeft, {'H', vk::Left, vk::Numpad0 + 4}},
    {isRight, {'L', vk::Right, vk::Numpad0 + 6}},
    {isButton1, {'Z', vk::Space, 0}},
    {isButton2, {'X', vk::Enter, 0}},
    {isButton9, {vk::F1 + 1, 0, 0}},
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

}  // namespace

uint32_t InputMaskForKeys(const std::set<uint16_t>& heldKeys) {
    uint32_t mask = 0;
    for (const StateKeys& entry : kStateKeys) {
        for (uint16_t key : entry.keys) {
            if (key != 0 && heldKeys.count(key)) mask |= entry.state;
        }
    }
    return mask;
}

void InputStates::Update(uint32_t heldMask) {
    suppressed_ &= heldMask;  // a released key may enter its state again
    states_ = heldMask & ~suppressed_;
}

void InputStates::RemoveButtons() {
    const uint32_t buttons = states_ & ~kDirectionStates;
    suppressed_ |= buttons;
    states_ &= kDirectionStates;
}

void InputStates::RemoveAll() {
    suppressed_ |= states_;
    states_ = 0;
}

bool ParseKeyName(const std::string& text, uint16_t& key, ShiftState& shift) {
    static const std::map<std::string, uint16_t> kNamed = {
        {"left", vk::Left},       {"right", vk::Right},         {"up", vk::Up},
        {"down", vk::Down},       {"enter", vk::Enter},         {"escape", vk::Escape},
        {"space", vk::Space},     {"backspace", vk::Backspace}, {"tab", vk::Tab},
        {"kpplus", vk::Add},      {"kpminus", vk::Subtract},    {"kpmultiply", vk::Multiply},
        {"kpdivide", vk::Divide}, {"kpdecimal", vk::Decimal},
    };
    shift = 0;
    std::string rest = text;
    for (;;) {
        const size_t plus = rest.find('+');
        if (plus == std::string::npos || plus == 0) break;
        const std::string modifier = Lower(rest.substr(0, plus));
        if (modifier == "shift") {
            shift |= kShift;
        } else if (modifier == "ctrl") {
            shift |= kCtrl;
        } else if (modifier == "alt") {
            shift |= kAlt;
        } else {
            return false;
        }
        rest = rest.substr(plus + 1);
    }
    const std::string name = Lower(rest);
    if (auto it = kNamed.find(name); it != kNamed.end()) {
        key = it->second;
        return true;
    }
    if (name.size() == 1 && std::isalpha(static_cast<unsigned char>(name[0]))) {
        key = uint16_t(std::toupper(static_cast<unsigned char>(name[0])));
        return true;
    }
    if (name.size() == 1 && std::isdigit(static_cast<unsigned char>(name[0]))) {
        key = uint16_t(name[0]);
        return true;
    }
    if (name.size() == 3 && name.compare(0, 2, "kp") == 0 &&
        std::isdigit(static_cast<unsigned char>(name[2]))) {
        key = uint16_t(vk::Numpad0 + (name[2] - '0'));
        return true;
    }
    if (name.size() >= 2 && name[0] == 'f') {
        const std::string digits = name.substr(1);
        if (digits.size() <= 2 && std::all_of(digits.begin(), digits.end(), ::isdigit)) {
            const int n = std::stoi(digits);
            if (n >= 1 && n <= 12) {
                key = uint16_t(vk::F1 + n - 1);
                return true;
            }
        }
    }
    return false;
}

}  // namespace platform
