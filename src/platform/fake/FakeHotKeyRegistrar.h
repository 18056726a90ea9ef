#pragma once

#include <map>
#include <set>
#include <utility>

#include "platform/HotKeyRegistrar.h"

namespace qm {

// Keeps the registrations in memory; a combination marked as taken is refused, as when another
// program holds it. press() delivers like the system would.
class FakeHotKeyRegistrar : public HotKeyRegistrar {
public:
    struct Combination {
        std::uint16_t keyCode = 0;
        std::uint32_t carbonModifiers = 0;
        auto operator<=>(const Combination&) const = default;
    };

    bool registerHotKey(std::uint16_t keyCode, std::uint32_t carbonModifiers, HotKeyID id) override;
    void unregisterHotKey(HotKeyID id) override;
    std::optional<std::string> refusalReason() const override { return mRefusal; }
    void setPressedHandler(PressedHandler handler) override { mHandler = std::move(handler); }

    void markTaken(Combination combination) { mTaken.insert(combination); }
    const std::map<HotKeyID, Combination>& registered() const { return mRegistered; }
    // The handler's answer to a press of a registered combination; false when none is registered.
    bool press(Combination combination);

private:
    std::map<HotKeyID, Combination> mRegistered;
    std::set<Combination> mTaken;
    PressedHandler mHandler;
    std::optional<std::string> mRefusal;
};

} // namespace qm
