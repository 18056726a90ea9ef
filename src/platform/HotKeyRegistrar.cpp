#include "platform/HotKeyRegistrar.h"

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

// Without a display nothing can be registered.
class RefusingHotKeyRegistrar : public HotKeyRegistrar {
public:
    bool registerHotKey(std::uint16_t, std::uint32_t, HotKeyID) override { return false; }
    void unregisterHotKey(HotKeyID) override {}
    void setPressedHandler(PressedHandler) override {}
};

InstalledImplementation<HotKeyRegistrar, RefusingHotKeyRegistrar>& installed()
{
    static InstalledImplementation<HotKeyRegistrar, RefusingHotKeyRegistrar> instance;
    return instance;
}

} // namespace

std::shared_ptr<HotKeyRegistrar> HotKeyRegistrar::current()
{
    return installed().current();
}

void HotKeyRegistrar::install(std::shared_ptr<HotKeyRegistrar> registrar)
{
    installed().install(std::move(registrar));
}

} // namespace qm
