#pragma once

#include <any>

#include "foundation/ValueTransformer.h"

namespace qm {

class UserDefaults;

// A text (std::string) with white space and line breaks trimmed from both ends while the
// setting "trimWhitespace" is on; unchanged otherwise.
class TrimWhitespaceTransformer : public ValueTransformer {
public:
    static constexpr const char* Name = "TrimWhitespaceTransformer";

    explicit TrimWhitespaceTransformer(const UserDefaults& defaults) : mDefaults(defaults) {}
    std::any transformedValue(const std::any& value) const override;

private:
    const UserDefaults& mDefaults;
};

} // namespace qm
