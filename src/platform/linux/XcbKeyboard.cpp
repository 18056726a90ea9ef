#include "platform/linux/XcbKeyboard.h"

#include <cstdlib>
#include <memory>

#include <X11/keysym.h>

#include "platform/linux/XcbConnection.h"

namespace qm {

namespace {

namespace CarbonModifier {
constexpr std::uint32_t Command = 0x0100, Shift = 0x0200, Option = 0x0800, Control = 0x1000;
}

} // namespace

XcbKeyboard::XcbKeyboard(xcb_connection_t* connection)
    : mConnection(connection), mSymbols(xcb_key_symbols_alloc(connection))
{
    readModifierMapping();
}

XcbKeyboard::~XcbKeyboard()
{
    xcb_key_symbols_free(mSymbols);
}

void XcbKeyboard::refresh(xcb_mapping_notify_event_t* change)
{
    xcb_refresh_keyboard_mapping(mSymbols, change);
    readModifierMapping();
}

std::optional<xcb_keycode_t> XcbKeyboard::keycodeFor(xcb_keysym_t keysym) const
{
    std::unique_ptr<xcb_keycode_t, XcbFree> keycodes(xcb_key_symbols_get_keycode(mSymbols, keysym));
    if (!keycodes || *keycodes == XCB_NO_SYMBOL)
        return std::nullopt;
    return *keycodes;
}

std::uint16_t XcbKeyboard::maskForCarbonModifiers(std::uint32_t carbonModifiers) const
{
    std::uint16_t mask = 0;
    if (carbonModifiers & CarbonModifier::Shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (carbonModifiers & CarbonModifier::Control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (carbonModifiers & CarbonModifier::Option)
        mask |= mAlt;
    if (carbonModifiers & CarbonModifier::Command)
        mask |= mSuper;
    return mask;
}

std::vector<std::uint16_t> XcbKeyboard::lockCombinations() const
{
    std::vector<std::uint16_t> combinations{0};
    for (std::uint16_t lock : {std::uint16_t(XCB_MOD_MASK_LOCK), mNumLock, mScrollLock}) {
        if (!lock)
            continue;
        const std::size_t count = combinations.size();
        for (std::size_t i = 0; i < count; ++i)
            combinations.push_back(combinations[i] | lock);
    }
    return combinations;
}

void XcbKeyboard::readModifierMapping()
{
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(mConnection, xcb_get_modifier_mapping(mConnection), nullptr));
    if (!mapping)
        return;
    if (auto alt = maskOfKeysyms(*mapping, {XK_Alt_L, XK_Alt_R}))
        mAlt = alt;
    if (auto super = maskOfKeysyms(*mapping, {XK_Super_L, XK_Super_R}))
        mSuper = super;
    mNumLock = maskOfKeysyms(*mapping, {XK_Num_Lock});
    mScrollLock = maskOfKeysyms(*mapping, {XK_Scroll_Lock});
}

// The bit of the first of the eight modifiers that one of the keysyms' keys sets; 0 when none does.
std::uint16_t XcbKeyboard::maskOfKeysyms(const xcb_get_modifier_mapping_reply_t& mapping,
                                         std::initializer_list<xcb_keysym_t> keysyms) const
{
    const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(&mapping);
    const int perModifier = mapping.keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
            for (int column = 0; keycode && column < 4; ++column)
                for (xcb_keysym_t keysym : keysyms)
                    if (xcb_key_symbols_get_keysym(mSymbols, keycode, column) == keysym)
                        return static_cast<std::uint16_t>(1u << modifier);
        }
    return 0;
}

} // namespace qm
