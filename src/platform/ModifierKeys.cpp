#include "platform/ModifierKeys.h"

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

// Without a display no key is held.
class NoDisplayModifierKeys : public ModifierKeys {
public:
    bool alternateKeyIsDown() override { return false; }
};

} // namespace

std::shared_ptr<ModifierKeys> ModifierKeys::current()
{
    return installedImplementation<ModifierKeys, NoDisplayModifierKeys>().current();
}

void ModifierKeys::install(std::shared_ptr<ModifierKeys> implementation)
{
    installedImplementation<ModifierKeys, NoDisplayModifierKeys>().install(std::move(implementation));
}

} // namespace qm
