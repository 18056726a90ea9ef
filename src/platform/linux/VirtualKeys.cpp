#include "platform/linux/VirtualKeys.h"

#include <algorithm>
#include <array>
#include <cctype>

#include <X11/keysym.h>

namespace qm {

namespace {

constexpr std::array keys = std::to_array<VirtualKey>({
    {0x00, XK_a, "a", false, 38}, {0x01, XK_s, "s", false, 39}, {0x02, XK_d, "d", false, 40}, {0x03, XK_f, "f", false, 41},
    {0x04, XK_h, "h", false, 43}, {0x05, XK_g, "g", false, 42}, {0x06, XK_z, "z", false, 52}, {0x07, XK_x, "x", false, 53},
    {0x08, XK_c, "c", false, 54}, {0x09, XK_v, "v", false, 55}, {0x0B, XK_b, "b", false, 56}, {0x0C, XK_q, "q", false, 24},
    {0x0D, XK_w, "w", false, 25}, {0x0E, XK_e, "e", false, 26}, {0x0F, XK_r, "r", false, 27}, {0x10, XK_y, "y", false, 29},
    {0x11, XK_t, "t", false, 28}, {0x12, XK_1, "1", false, 10}, {0x13, XK_2, "2", false, 11}, {0x14, XK_3, "3", false, 12},
    {0x15, XK_4, "4", false, 13}, {0x16, XK_6, "6", false, 15}, {0x17, XK_5, "5", false, 14}, {0x18, XK_equal, "=", false, 21},
    {0x19, XK_9, "9", false, 18}, {0x1A, XK_7, "7", false, 16}, {0x1B, XK_minus, "-", false, 20}, {0x1C, XK_8, "8", false, 17},
    {0x1D, XK_0, "0", false, 19}, {0x1E, XK_bracketright, "]", false, 35}, {0x1F, XK_o, "o", false, 32},
    {0x20, XK_u, "u", false, 30}, {0x21, XK_bracketleft, "[", false, 34}, {0x22, XK_i, "i", false, 31},
    {0x23, XK_p, "p", false, 33}, {0x24, XK_Return, "Return", false, 36}, {0x25, XK_l, "l", false, 46},
    {0x26, XK_j, "j", false, 44}, {0x27, XK_apostrophe, "'", false, 48}, {0x28, XK_k, "k", false, 45},
    {0x29, XK_semicolon, ";", false, 47}, {0x2A, XK_backslash, "\\", false, 51}, {0x2B, XK_comma, ",", false, 59},
    {0x2C, XK_slash, "/", false, 61}, {0x2D, XK_n, "n", false, 57}, {0x2E, XK_m, "m", false, 58},
    {0x2F, XK_period, ".", false, 60}, {0x30, XK_Tab, "Tab", false, 23}, {0x31, XK_space, "Space", false, 65},
    {0x32, XK_grave, "`", false, 49}, {0x33, XK_BackSpace, "BackSpace", false, 22}, {0x34, XK_KP_Enter, "Enter", false, 0},
    {0x35, XK_Escape, "Escape", false, 9}, {0x0A, XK_less, "<", false, 94},
    {0x41, XK_KP_Decimal, "KP_Decimal", false, 0}, {0x43, XK_KP_Multiply, "KP_Multiply", false, 0},
    {0x45, XK_KP_Add, "KP_Add", false, 0}, {0x47, XK_Clear, "Clear", true, 0}, {0x4B, XK_KP_Divide, "KP_Divide", false, 0},
    {0x4C, XK_KP_Enter, "KP_Enter", false, 0}, {0x4E, XK_KP_Subtract, "KP_Subtract", false, 0},
    {0x51, XK_KP_Equal, "KP_Equal", false, 0}, {0x52, XK_KP_0, "KP_0", false, 0}, {0x53, XK_KP_1, "KP_1", false, 0},
    {0x54, XK_KP_2, "KP_2", false, 0}, {0x55, XK_KP_3, "KP_3", false, 0}, {0x56, XK_KP_4, "KP_4", false, 0},
    {0x57, XK_KP_5, "KP_5", false, 0}, {0x58, XK_KP_6, "KP_6", false, 0}, {0x59, XK_KP_7, "KP_7", false, 0},
    {0x5B, XK_KP_8, "KP_8", false, 0}, {0x5C, XK_KP_9, "KP_9", false, 0},
    {0x7A, XK_F1, "F1", true, 0}, {0x78, XK_F2, "F2", true, 0}, {0x63, XK_F3, "F3", true, 0}, {0x76, XK_F4, "F4", true, 0},
    {0x60, XK_F5, "F5", true, 0}, {0x61, XK_F6, "F6", true, 0}, {0x62, XK_F7, "F7", true, 0}, {0x64, XK_F8, "F8", true, 0},
    {0x65, XK_F9, "F9", true, 0}, {0x6D, XK_F10, "F10", true, 0}, {0x67, XK_F11, "F11", true, 0},
    {0x6F, XK_F12, "F12", true, 0}, {0x69, XK_F13, "F13", true, 0}, {0x6B, XK_F14, "F14", true, 0},
    {0x71, XK_F15, "F15", true, 0}, {0x6A, XK_F16, "F16", true, 0}, {0x40, XK_F17, "F17", true, 0},
    {0x4F, XK_F18, "F18", true, 0}, {0x50, XK_F19, "F19", true, 0}, {0x5A, XK_F20, "F20", true, 0},
    // The original numbering ends at F20; F21 to F24 are numbered after its last key.
    {0x80, XK_F21, "F21", true, 0}, {0x81, XK_F22, "F22", true, 0}, {0x82, XK_F23, "F23", true, 0},
    {0x83, XK_F24, "F24", true, 0},
    // The help key sits where PC keyboards have Insert.
    {0x72, XK_Insert, "Insert", true, 0}, {0x73, XK_Home, "Home", true, 0}, {0x74, XK_Page_Up, "Page_Up", true, 0},
    {0x75, XK_Delete, "Delete", true, 0}, {0x77, XK_End, "End", true, 0}, {0x79, XK_Page_Down, "Page_Down", true, 0},
    {0x7B, XK_Left, "Left", true, 0}, {0x7C, XK_Right, "Right", true, 0}, {0x7D, XK_Down, "Down", true, 0},
    {0x7E, XK_Up, "Up", true, 0},
});

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

const VirtualKey* VirtualKey::withCode(std::uint16_t code)
{
    const auto found = std::find_if(keys.begin(), keys.end(), [code](const VirtualKey& key) { return key.code == code; });
    return found == keys.end() ? nullptr : &*found;
}

const VirtualKey* VirtualKey::atKeycode(xcb_keycode_t keycode)
{
    if (keycode == 0)
        return nullptr;
    const auto found =
        std::find_if(keys.begin(), keys.end(), [keycode](const VirtualKey& key) { return key.x11Keycode == keycode; });
    return found == keys.end() ? nullptr : &*found;
}

const VirtualKey* VirtualKey::named(std::string_view name)
{
    const auto found =
        std::find_if(keys.begin(), keys.end(), [name](const VirtualKey& key) { return sameIgnoringCase(key.name, name); });
    return found == keys.end() ? nullptr : &*found;
}

} // namespace qm
