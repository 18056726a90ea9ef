#pragma once

#include <memory>

namespace qm {

// The keyboard's modifier keys as they are held now.
class ModifierKeys {
public:
    virtual ~ModifierKeys() = default;
    // Whether either Alt key (the Option key of other keyboards) is held.
    virtual bool alternateKeyIsDown() = 0;

    // The installed one (one that sees no key held, as without a display, until a program
    // installs another).
    static std::shared_ptr<ModifierKeys> current();
    // Installing nothing restores the one that sees no key held.
    static void install(std::shared_ptr<ModifierKeys> modifierKeys);
};

} // namespace qm
