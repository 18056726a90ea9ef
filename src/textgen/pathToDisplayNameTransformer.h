#pragma once

#include <any>
#include <string>

#include "foundation/ValueTransformer.h"

namespace qm {

// A path to the name the file system shows for the item at it: the last component, with bytes
// that are not UTF-8 shown as U+FFFD.
class pathToDisplayNameTransformer : public ValueTransformer {
public:
    std::any transformedValue(const std::any& value) const override;

    static std::string displayName(const std::string& path);
    // Every component's display name joined with "/"; the path itself when no item is at it.
    static std::string pathWithDisplayNames(const std::string& path);
};

} // namespace qm
