#pragma once

#include <optional>
#include <string>
#include <vector>

#include "applications/applicationInstanceArrayController.h"

namespace qm {

class UserDefaults;

// The installed layout applications: those that open the layout application's documents and
// whose program is one (scribus, scribus-ng, ...).
class LayoutApplications {
public:
    static std::vector<applicationInstancePath::Pointer> installed();
    // Makes the controller list them.
    static void configure(applicationInstanceArrayController& controller);

    // The layout application the user chose, kept as an archived applicationInstancePath; none
    // stored means the first running one, else the desktop's default.
    static constexpr const char* PreferredApplicationKey = "layoutApplicationInstance";
    static std::optional<std::string> preferredApplicationPath(const UserDefaults& defaults);
    // None removes the choice.
    static void setPreferredApplicationPath(UserDefaults& defaults, const std::optional<std::string>& path);
};

} // namespace qm
