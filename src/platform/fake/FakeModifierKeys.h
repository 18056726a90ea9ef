#pragma once

#include <atomic>

#include "platform/ModifierKeys.h"

namespace qm {

// Modifier keys that a test holds down or lets go.
class FakeModifierKeys : public ModifierKeys {
public:
    void setAlternateKeyDown(bool down) { mAlternateKeyDown = down; }
    bool alternateKeyIsDown() override { return mAlternateKeyDown; }

private:
    std::atomic<bool> mAlternateKeyDown = false;
};

} // namespace qm
