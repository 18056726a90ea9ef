#pragma once

#include <cstdint>
#include <string>

namespace qm {

// The stored form of a key event, in the original platform's numbering.
struct KeyEvent {
    static constexpr std::uint32_t KeyDown = 10; // event type of a key-down
    std::uint32_t type = 0;                      // 0: an empty event
    std::uint16_t keyCode = 0;                   // virtual key code as the key tables number keys (36 return, 122 F1, ...)
    std::uint64_t modifierFlags = 0;             // bit values of ModifierFlag
    std::string charactersIgnoringModifiers;     // UTF-8
    bool operator==(const KeyEvent&) const = default;
};

namespace ModifierFlag {
constexpr std::uint64_t AlphaShift = 1u << 16, Shift = 1u << 17, Control = 1u << 18, Option = 1u << 19,
                        Command = 1u << 20, NumericPad = 1u << 21, Help = 1u << 22, Function = 1u << 23;
} // namespace ModifierFlag

} // namespace qm
