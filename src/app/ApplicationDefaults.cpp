#include "app/ApplicationDefaults.h"

#include "foundation/Bundle.h"
#include "foundation/UserDefaults.h"
#include "metadata/cIPTCRecord.h"
#include "parsers/QMMetadataParserCache.h"

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
    applyParserCacheBudget(defaults);
}

void ApplicationDefaults::applyParserCacheBudget(const UserDefaults& defaults)
{
    const auto megabytes = defaults.integerForKey("parserCacheMegabytes");
    const auto parsers = defaults.integerForKey("parserCacheCount");
    QMMetadataParserCache::setBudget(
        megabytes > 0 ? static_cast<std::size_t>(megabytes) * 1024 * 1024 : QMMetadataParserCache::DefaultByteBudget,
        parsers > 0 ? static_cast<std::size_t>(parsers) : QMMetadataParserCache::DefaultCountBudget);
}

} // namespace qm
