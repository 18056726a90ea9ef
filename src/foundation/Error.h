#pragma once

#include <string>

namespace qm {

// A failure reported to the caller: a domain, a code and texts meant for the user.
struct Error {
    std::string domain;
    long code = 0;
    std::string localizedDescription;
    std::string localizedRecoverySuggestion;
};

// The domain of general application errors.
inline constexpr const char* GeneralErrorDomain = "NSCocoaErrorDomain";

} // namespace qm
