#pragma once

#include <any>
#include <string>

#include "foundation/ValueTransformer.h"

namespace qm {

// A file URL ("file:///home/a/b%20c.jpg", std::string) to the display name of the item at its
// path; a plain path is taken as it is.
class URLToDisplayNameTransformer : public ValueTransformer {
public:
    static constexpr const char* Name = "URLToDisplayNameTransformer";

    std::any transformedValue(const std::any& value) const override;
    static std::string pathOfURL(const std::string& url);
};

// An array of file URLs (std::vector<std::string>) to their display names, element by element.
class URLToDisplayNameArrayTransformer : public ValueTransformer {
public:
    static constexpr const char* Name = "URLToDisplayNameArrayTransformer";

    std::any transformedValue(const std::any& value) const override;
};

} // namespace qm
