#pragma once

#include <cstdint>
#include <string_view>

#include <xcb/xproto.h>

namespace qm {

// The virtual key codes that stored hot keys carry (the key positions of a US keyboard in the
// original platform's numbering), each with the X keysym it types on a US layout.
struct VirtualKey {
    std::uint16_t code;
    xcb_keysym_t keysym; // letters in lower case
    std::string_view name; // "b", "7", "F5", "Return", "-"
    // Keys outside the typing area (function, arrow and navigation keys), which the original
    // platform marked with its function-key modifier flag.
    bool functionKey;
    // Keys of the typing area: the X keycode of the key at this position (the same in the evdev and
    // the older xfree86 keymaps), whatever the layout types with it; 0 for the other keys.
    xcb_keycode_t x11Keycode;

    // None when the code names no key of the table.
    static const VirtualKey* withCode(std::uint16_t code);
    // A letter or a digit: registered as the key the user's layout types it with.
    bool followsLayout() const
    {
        return name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9'));
    }
    // The typing-area key at the X keycode; none for other keycodes.
    static const VirtualKey* atKeycode(xcb_keycode_t keycode);
    // The name compared without regard to case ("f5", "return", "B").
    static const VirtualKey* named(std::string_view name);
};

} // namespace qm
