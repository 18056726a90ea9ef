#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "corpus/Bytes.h"

namespace qm::bench {

// Random bytes shaped like entropy-coded scan data: every 0xFF is followed by a stuffed 0x00.
// Files take slices of one block at different offsets, so that no two scans are the same.
class ScanBlock {
public:
    ScanBlock(std::size_t size, std::uint64_t seed);

    // `length` bytes from about `offset` (wrapped into the block); the slice never ends in 0xFF.
    std::span<const std::uint8_t> slice(std::size_t offset, std::size_t length) const;
    std::size_t size() const { return mBytes.size(); }

private:
    Bytes mBytes;
};

} // namespace qm::bench
