#pragma once

#include <cstdint>

namespace qm {

// A run of bytes in a stream: where it starts and how long it is.
struct StreamRange {
    static constexpr std::uint32_t NotFoundValue = 0x7FFFFFFF;
    static const StreamRange NotFound;

    std::uint32_t location = 0;
    std::uint32_t length = 0;

    bool operator==(const StreamRange&) const = default;
};

inline constexpr StreamRange StreamRange::NotFound{NotFoundValue, NotFoundValue};

} // namespace qm
