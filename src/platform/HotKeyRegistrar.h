#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qm {

// The identifier a registration carries and a press reports: the program's signature and a number.
struct HotKeyID {
    std::uint32_t signature = 0;
    std::uint32_t id = 0;
    auto operator<=>(const HotKeyID&) const = default;
};

// System-wide hot keys: a key combination that fires whichever application is in front.
class HotKeyRegistrar {
public:
    using PressedHandler = std::function<void(HotKeyID)>;

    virtual ~HotKeyRegistrar() = default;
    // The key in the stored virtual key codes and Carbon modifier bits; false when the system
    // refuses it (another program holds the combination, or there is no display).
    virtual bool registerHotKey(std::uint16_t keyCode, std::uint32_t carbonModifiers, HotKeyID id) = 0;
    virtual void unregisterHotKey(HotKeyID id) = 0;
    // Why the last refused registration was refused, in words the preferences can show; none
    // when the last registration succeeded.
    virtual std::optional<std::string> refusalReason() const = 0;
    // Presses arrive on the main thread.
    virtual void setPressedHandler(PressedHandler handler) = 0;

    // The installed one (one that refuses every registration, until a program installs its own).
    static std::shared_ptr<HotKeyRegistrar> current();
    static void install(std::shared_ptr<HotKeyRegistrar> registrar);
};

} // namespace qm
