#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "platform/HotKeyRegistrar.h"
#include "platform/linux/XcbConnection.h"
#include "platform/linux/XcbEventReader.h"
#include "platform/linux/XcbKeyboard.h"

namespace qm {

// Global hot keys on X11: each is a passive grab of its key on the root window, once for every
// combination of the lock keys, so that it fires whichever locks are on.
class XcbHotKeyRegistrar : public HotKeyRegistrar {
public:
    // None when no display can be reached.
    static std::shared_ptr<XcbHotKeyRegistrar> create(const char* displayName = nullptr);
    explicit XcbHotKeyRegistrar(std::unique_ptr<XcbConnection> connection);
    ~XcbHotKeyRegistrar() override;

    bool registerHotKey(std::uint16_t keyCode, std::uint32_t carbonModifiers, HotKeyID id) override;
    void unregisterHotKey(HotKeyID id) override;
    std::optional<std::string> refusalReason() const override;
    void setPressedHandler(PressedHandler handler) override;

private:
    struct Grab {
        xcb_keycode_t keycode = 0;
        std::uint16_t modifiers = 0;
        bool operator==(const Grab&) const = default;
    };

    std::optional<Grab> grabFor(std::uint16_t keyCode, std::uint32_t carbonModifiers) const;
    bool isGrabbed(const Grab& grab) const;
    // False, with nothing left grabbed, when another client holds any of the combinations.
    bool grabOnRoot(const Grab& grab);
    void ungrabOnRoot(const Grab& grab);
    bool refuse(std::string reason);
    void handleEvent(const xcb_generic_event_t& event);
    void handleKeyPress(const xcb_key_press_event_t& press);
    bool isRepeat(const xcb_key_press_event_t& press) const;

    std::unique_ptr<XcbConnection> mConnection;
    mutable std::mutex mMutex;
    XcbKeyboard mKeyboard;
    std::map<HotKeyID, Grab> mGrabs;
    PressedHandler mHandler;
    std::optional<std::string> mRefusal;
    std::optional<xcb_key_release_event_t> mLastRelease;
    std::unique_ptr<XcbEventReader> mReader; // last, so that it stops first
};

} // namespace qm
