#include "app/ApplicationDefaults.h"

#include <fstream>
#include <iterator>

#include "foundation/Bundle.h"
#include "foundation/Log.h"
#include "foundation/UserDefaults.h"
#include "metadata/cIPTCRecord.h"
#include "parsers/QMMetadataParserCache.h"
#include "textgen/PublicationStore.h"
#include "textgen/PublicationsJSON.h"

namespace qm {

namespace {

void registerResource(UserDefaults& defaults, const char* name)
{
    auto values = Bundle::main().plistResource(name);
    if (values && values->dictionary())
        defaults.registerDefaults(*values->dictionary());
}

// The publication list of a fresh installation, from the resource "defaultPublications.json", in
// its stored form. The publications read from the file are gone once archived, so the stored
// list, when read, keeps the file's text block identifiers.
std::optional<PlistData> archivedDefaultPublications()
{
    const auto path = Bundle::main().pathForResource("defaultPublications", "json");
    if (!path) {
        Log::message("ApplicationDefaults: the resource \"defaultPublications.json\" is missing");
        return std::nullopt;
    }
    std::ifstream file(*path, std::ios::binary);
    const std::string json((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto imported = PublicationsJSON::importPublications(json);
    if (!imported) {
        Log::format("ApplicationDefaults: defaultPublications.json: %s", imported.error.c_str());
        return std::nullopt;
    }
    return PublicationStore::archivedPublications(*imported.publications);
}

void registerDefaultPublications(UserDefaults& defaults)
{
    static const std::optional<PlistData> archived = archivedDefaultPublications();
    if (archived)
        defaults.registerDefaults({{PublicationStore::PublicationsKey, PlistValue(*archived)}});
}

} // namespace

void ApplicationDefaults::registerDefaults(UserDefaults& defaults)
{
    registerResource(defaults, "defaults");
    registerResource(defaults, "defaultPrefs");
    registerDefaultPublications(defaults);
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
