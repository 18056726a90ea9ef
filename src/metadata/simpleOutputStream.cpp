#include "metadata/simpleOutputStream.h"

#include "foundation/Log.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace qm {

namespace {
constexpr std::uint64_t LargestByteCount = std::numeric_limits<std::uint32_t>::max();
}

simpleOutputStream::simpleOutputStream(std::uint32_t byteCount)
{
    try {
        mBuffer.resize(byteCount);
    } catch (const std::bad_alloc&) {
        Log::format("simpleOutputStream: Can't allocate %u bytes!", byteCount);
    }
    mBytes = mBuffer.data();
}

// Grows to twice the needed end (at most the largest 32-bit count); existing bytes are kept.
bool simpleOutputStream::reserveUpTo(std::uint64_t end)
{
    if (end <= mBuffer.size())
        return true;
    const std::uint64_t capacity = std::min(end * 2, LargestByteCount);
    try {
        mBuffer.resize(capacity);
    } catch (const std::bad_alloc&) {
        Log::format("simpleOutputStream::writeBytes: Can't grow the buffer to %llu bytes!",
                    static_cast<unsigned long long>(capacity));
        return false;
    }
    mBytes = mBuffer.data();
    return true;
}

std::uint32_t simpleOutputStream::writeBytes(const void* source, std::uint32_t byteCount)
{
    if (byteCount == 0 || !source)
        return 0;
    const std::uint64_t end = std::uint64_t(mStreamPosition) + byteCount;
    if (end > LargestByteCount) {
        Log::format("simpleOutputStream::writeBytes: Can't write beyond 4 GiB! (pos: %u count: %u)",
                    mStreamPosition, byteCount);
        return 0;
    }
    if (!reserveUpTo(end))
        return 0;
    std::memcpy(mBuffer.data() + mStreamPosition, source, byteCount);
    mStreamPosition = static_cast<std::uint32_t>(end);
    mByteCount = std::max(mByteCount, mStreamPosition);
    return byteCount;
}

} // namespace qm
