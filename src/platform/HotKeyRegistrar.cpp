#include "platform/HotKeyRegistrar.h"

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

// Without a display nothing can be registered.
class RefusingHotKeyRegistrar : public HotKeyRegistrar {
public:
    bool registerHotKey(std::uint16_t, std::uint32_t, HotKeyID) override { return false; }
    void unregisterHotKey(HotKeyID) override {}
    std::optional<std::string> refusalReason() const override
    {
        return "Global hot keys need an X display.";
    }
    void setPressedHandler(PressedHandler) override {}
};
} // namespace

std::shared_ptr<HotKeyRegistrar> HotKeyRegistrar::current()
{
    return installedImplementation<HotKeyRegistrar, RefusingHotKeyRegistrar>().current();
}

void HotKeyRegistrar::install(std::shared_ptr<HotKeyRegistrar> registrar)
{
    installedImplementation<HotKeyRegistrar, RefusingHotKeyRegistrar>().install(std::move(registrar));
}

} // namespace qm
