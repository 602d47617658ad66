// Key codes and the polled input states. Key codes are the desktop's
// virtual-key numbers, which the game's rules are written in.
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace platform {

namespace vk {
constexpr uint16_t Backspace = 8;
constexpr uint16_t Tab = 9;
constexpr uint16_t Enter = 13;
constexpr uint16_t Escape = 27;
constexpr uint16_t Space = 32;
constexpr uint16_t Left = 37;
constexpr uint16_t Up = 38;
constexpr uint16_t Right = 39;
constexpr uint16_t Down = 40;
constexpr uint16_t Numpad0 = 96;
constexpr uint16_t Multiply = 106;
constexpr uint16_t Add = 107;
constexpr uint16_t Subtract = 109;
constexpr uint16_t Decimal = 110;
constexpr uint16_t Divide = 111;
constexpr uint16_t F1 = 112;
constexpr uint16_t F12 = 123;
}  // namespace vk

using ShiftState = uint8_t;
constexpr ShiftState kShift = 1;
constexpr ShiftState kAlt = 2;
constexpr ShiftState kCtrl = 4;

// Bits of the input state set.
enum InputState : uint32_t {
    isUp = 1u << 0,
    isDown = 1u << 1,
    isLeft = 1u << 2,
    isRight = 1u << 3,
    isButton1 = 1u << 4,  // fire 1
    isButton2 = 1u << 5,  // fire 2
    isButton9 = 1u << 6,
};
constexpr uint32_t kDirectionStates = isUp | isDown | isLeft | isRight;

// The input states that a set of held keys gives.
uint32_t InputMaskForKeys(const std::set<uint16_t>& heldKeys);

// A state enters the set when one of its keys goes down and leaves it when
// released; a state the game removes stays out until pressed again.
class InputStates {
public:
    void Update(uint32_t heldMask);
    // Removes every state but the four directions.
    void RemoveButtons();
    // Removes every state held now, the directions too.
    void RemoveAll();
    uint32_t States() const { return states_; }
    uint32_t Suppressed() const { return suppressed_; }
    // Both sets as another run had them (a recording's start).
    void Restore(uint32_t states, uint32_t suppressed) {
        states_ = states;
        suppressed_ = suppressed;
    }
    bool Has(uint32_t state) const { return (states_ & state) != 0; }
    bool Empty() const { return states_ == 0; }

private:
    uint32_t states_ = 0;
    uint32_t suppressed_ = 0;
};

// "A", "Enter", "F5", "KP3", "Shift+Ctrl+3" ... and back. Used by scripts.
bool ParseKeyName(const std::string& text, uint16_t& key, ShiftState& shift);

}  // namespace platform
