#include "app/ApplicationDefaults.h"

#include "foundation/Bundle.h"
#include "foundation/UserDefaults.h"
#include "metadata/cIPTCRecord.h"

namespace qm {

namespace {

void registerResource(UserDefaults& defaults, const char* name)
{
    auto values = Bundle::main().plistResource(name);
    if (values && values->dictionary())
        defaults.registerDefaults(*values->dictionary());
}

} // namespace

void ApplicationDefaults::registerDefaults(UserDefaults& defaults)
{
    registerResource(defaults, "defaults");
    registerResource(defaults, "defaultPrefs");
    cIPTCRecord::setCaptionMode(static_cast<int>(defaults.integerForKey("captionMode")));
}

} // namespace qm
