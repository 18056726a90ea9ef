#pragma once

namespace qm {

class UserDefaults;

// The program's registration defaults, from the bundle's "defaults" and "defaultPrefs" resources.
class ApplicationDefaults {
public:
    // Registers both resources (a missing one registers nothing) and the ready publication of
    // "defaultPublications.json" under "publications", and hands the stored caption mode to the
    // record class.
    static void registerDefaults(UserDefaults& defaults);

    // The parser cache keeps parsers up to "parserCacheMegabytes" of memory and "parserCacheCount"
    // parsers (256 and 2,000 when unset or not positive).
    static void applyParserCacheBudget(const UserDefaults& defaults);
};

} // namespace qm
