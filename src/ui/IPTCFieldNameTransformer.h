#pragma once

#include <any>

#include "foundation/ValueTransformer.h"

namespace qm {

class UserDefaults;

// A dataset code (cIPTCCode) to the label of the panel's name column: the user's custom label
// while filtering is on, else the code's name. Not reversible.
class IPTCFieldNameTransformer : public ValueTransformer {
public:
    static constexpr const char* Name = "IPTCFieldNameTransformer";

    explicit IPTCFieldNameTransformer(const UserDefaults& defaults) : mDefaults(defaults) {}
    std::any transformedValue(const std::any& value) const override;

private:
    const UserDefaults& mDefaults;
};

} // namespace qm
