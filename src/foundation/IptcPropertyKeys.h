#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// The property names of the application-record (2:n) datasets in an image's "{IPTC}" dictionary.
class IptcPropertyKeys {
public:
    // Dataset number → property name ("kCGImagePropertyIPTCCaptionAbstract" for 2:120).
    static const std::map<int, std::string>& byDataSet();
    static std::optional<int> dataSetOf(std::string_view key);
};

} // namespace qm
