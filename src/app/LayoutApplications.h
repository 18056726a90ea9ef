#pragma once

#include <vector>

#include "applications/applicationInstanceArrayController.h"

namespace qm {

// The installed layout applications: those that open the layout application's documents and
// whose program is one (scribus, scribus-ng, ...).
class LayoutApplications {
public:
    static std::vector<applicationInstancePath::Pointer> installed();
    // Makes the controller list them.
    static void configure(applicationInstanceArrayController& controller);
};

} // namespace qm
