#pragma once

namespace qm {

class UserDefaults;

// The program's registration defaults, from the bundle's "defaults" and "defaultPrefs" resources.
class ApplicationDefaults {
public:
    // Registers both resources (a missing one registers nothing) and hands the stored caption
    // mode to the record class.
    static void registerDefaults(UserDefaults& defaults);
};

} // namespace qm
