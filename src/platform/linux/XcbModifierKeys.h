#pragma once

#include <memory>

#include "platform/ModifierKeys.h"
#include "platform/linux/XcbConnection.h"
#include "platform/linux/XcbKeyboard.h"

namespace qm {

// The modifier keys held now, as the X server's core keyboard state has them.
class XcbModifierKeys : public ModifierKeys {
public:
    // None when no display can be reached.
    static std::shared_ptr<XcbModifierKeys> create(const char* displayName = nullptr);
    explicit XcbModifierKeys(std::unique_ptr<XcbConnection> connection);

    bool alternateKeyIsDown() override;

private:
    std::unique_ptr<XcbConnection> mConnection;
    XcbKeyboard mKeyboard;
};

} // namespace qm
