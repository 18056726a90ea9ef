#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qm {

// Checks on property-list bytes before libplist 2.2 parses them. libplist recurses once per level
// of nesting, copies a shared object once per reference to it, and aborts on a string holding NUL;
// input that would make it overflow the stack, run for ages or abort is refused here, with a reason.
// Used by PropertyList only.
class PlistInputCheck {
public:
    static constexpr std::size_t kMaxDepth = 512;
    static constexpr std::uint64_t kMaxValues = 1'000'000;
    static constexpr std::string_view kBinaryMagic = "bplist00";

    static bool binaryIsAcceptable(std::span<const std::uint8_t> bytes, std::string& reason);
    static bool xmlIsAcceptable(std::string_view xml, std::string& reason);
};

} // namespace qm
