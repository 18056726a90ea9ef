#include "corpus/ScanBlock.h"

#include <random>
#include <stdexcept>

namespace qm::bench {

ScanBlock::ScanBlock(std::size_t size, std::uint64_t seed)
{
    std::mt19937_64 random(seed);
    mBytes.reserve(size + 8);
    while (mBytes.size() < size) {
        std::uint64_t word = random();
        for (int i = 0; i < 8; ++i, word >>= 8) {
            mBytes.push_back(static_cast<std::uint8_t>(word));
            if (mBytes.back() == 0xFF)
                mBytes.push_back(0x00);
        }
    }
    mBytes.resize(size);
}

std::span<const std::uint8_t> ScanBlock::slice(std::size_t offset, std::size_t length) const
{
    if (length > mBytes.size())
        throw std::length_error("scan longer than the random block");
    const std::size_t start = offset % (mBytes.size() - length + 1);
    if (length > 0 && mBytes[start + length - 1] == 0xFF)
        --length;
    return {mBytes.data() + start, length};
}

} // namespace qm::bench
