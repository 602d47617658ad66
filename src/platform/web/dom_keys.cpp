#include "platform/web/dom_keys.h"

#include <cctype>
#include <map>

#include "platform/input.h"

namespace platform {

uint16_t VirtualKeyOfDom(const std::string& key, const std::string& code) {
    // The keypad first: with Num Lock its keys also say "1", "+" ...
    if (code.rfind("Numpad", 0) == 0 && code.size() == 7 &&
        std::isdigit(static_cast<unsigned char>(code[6]))) {
        return uint16_t(vk::Numpad0 + (code[6] - '0'));
    }
    static const std::map<std::string, uint16_t> kByCode = {
        {"NumpadEnter", vk::Enter},
        {"NumpadMultiply", vk::Multiply},
        {"NumpadAdd", vk::Add},
        {"NumpadSubtract", vk::Subtract},
        {"NumpadDecimal", vk::Decimal},
        {"NumpadDivide", vk::Divide},
        {"Enter", vk::Enter},
        {"Escape", vk::Escape},
        {"Backspace", vk::Backspace},
        {"Tab", vk::Tab},
        {"Space", vk::Space},
        {"ArrowLeft", vk::Left},
        {"ArrowUp", vk::Up},
        {"ArrowRight", vk::Right},
        {"ArrowDown", vk::Down},
        {"ShiftLeft", 16},
        {"ShiftRight", 16},
        {"ControlLeft", 17},
        {"ControlRight", 17},
        {"AltLeft", 18},
        {"AltRight", 18},
        {"Delete", 46},
        {"Insert", 45},
        {"Home", 36},
        {"End", 35},
        {"PageUp", 33},
        {"PageDown", 34},
    };
    if (const auto it = kByCode.find(code); it != kByCode.end()) return it->second;
    if (code.size() >= 2 && code.size() <= 3 && code[0] == 'F' &&
        std::isdigit(static_cast<unsigned char>(code[1]))) {
        const int number = std::stoi(code.substr(1));
        if (number >= 1 && number <= 12) return uint16_t(vk::F1 + number - 1);
    }
    // The digit row by its place: Shift+1 says "!" but is still the key 1.
    if (code.size() == 6 && code.rfind("Digit", 0) == 0) return uint16_t(code[5]);
    if (key.size() == 1) {
        const unsigned char c = static_cast<unsigned char>(key[0]);
        if (std::isalpha(c)) return uint16_t(std::toupper(c));
        static const std::map<char, uint16_t> kPunctuation = {
            {'-', 189}, {'=', 187}, {',', 188}, {'.', 190}, {'/', 191}, {';', 186},
        };
        if (const auto it = kPunctuation.find(char(c)); it != kPunctuation.end()) return it->second;
    }
    // A letter key that the layout turned into something else (a dead key, AltGr).
    if (code.size() == 4 && code.rfind("Key", 0) == 0) return uint16_t(code[3]);
    return 0;
}

}  // namespace platform
