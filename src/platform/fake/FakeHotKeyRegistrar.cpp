#include "platform/fake/FakeHotKeyRegistrar.h"

namespace qm {

bool FakeHotKeyRegistrar::registerHotKey(std::uint16_t keyCode, std::uint32_t carbonModifiers, HotKeyID id)
{
    const Combination combination{keyCode, carbonModifiers};
    if (mTaken.contains(combination) || mRegistered.contains(id)) {
        mRefusal = "Another program already uses this key combination.";
        return false;
    }
    mRefusal.reset();
    mRegistered[id] = combination;
    return true;
}

void FakeHotKeyRegistrar::unregisterHotKey(HotKeyID id)
{
    mRegistered.erase(id);
}

bool FakeHotKeyRegistrar::press(Combination combination)
{
    for (const auto& [id, registered] : mRegistered)
        if (registered == combination) {
            if (mHandler)
                mHandler(id);
            return true;
        }
    return false;
}

} // namespace qm
