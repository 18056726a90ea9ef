#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <xcb/xcb_keysyms.h>

namespace qm {

// The keyboard as the X server maps it now: which key types a keysym, and which modifier bits
// Alt, Super and the lock keys set.
class XcbKeyboard {
public:
    explicit XcbKeyboard(xcb_connection_t* connection);
    ~XcbKeyboard();
    XcbKeyboard(const XcbKeyboard&) = delete;
    XcbKeyboard& operator=(const XcbKeyboard&) = delete;

    // Reads the mapping again (after the server announced a change).
    void refresh(xcb_mapping_notify_event_t* change);

    std::optional<xcb_keycode_t> keycodeFor(xcb_keysym_t keysym) const;
    // Command is Super, Option is Alt, Control and Shift are themselves.
    std::uint16_t maskForCarbonModifiers(std::uint32_t carbonModifiers) const;
    // Every combination of the Caps, Num and Scroll Lock bits, none among them.
    std::vector<std::uint16_t> lockCombinations() const;
    std::uint16_t lockMasks() const { return XCB_MOD_MASK_LOCK | mNumLock | mScrollLock; }
    std::uint16_t altMask() const { return mAlt; }

private:
    void readModifierMapping();
    std::uint16_t maskOfKeysyms(const xcb_get_modifier_mapping_reply_t& mapping,
                                std::initializer_list<xcb_keysym_t> keysyms) const;

    xcb_connection_t* mConnection;
    xcb_key_symbols_t* mSymbols;
    std::uint16_t mAlt = XCB_MOD_MASK_1;
    std::uint16_t mSuper = XCB_MOD_MASK_4;
    std::uint16_t mNumLock = XCB_MOD_MASK_2;
    std::uint16_t mScrollLock = 0;
};

} // namespace qm
