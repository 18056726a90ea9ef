#include "bridge/LineBuffer.h"

#include <cstring>

namespace qm {

bool LineBuffer::append(std::string_view bytes)
{
    if (mOverflowed || !measure(bytes)) {
        // The stream is not trusted further, and what it sent is not kept.
        mOverflowed = true;
        std::string().swap(mBytes);
        mStart = 0;
        return false;
    }
    mBytes.append(bytes);
    return true;
}

// Follows the length of the unfinished line over the bytes; false when a line grows too long.
bool LineBuffer::measure(std::string_view bytes)
{
    while (!bytes.empty()) {
        const void* found = std::memchr(bytes.data(), '\n', bytes.size());
        const std::size_t length =
            found ? static_cast<std::size_t>(static_cast<const char*>(found) - bytes.data()) : bytes.size();
        if (mUnfinished + length > mMaximumLineLength)
            return false;
        mUnfinished = found ? 0 : mUnfinished + length;
        bytes.remove_prefix(found ? length + 1 : length);
    }
    return true;
}

std::optional<std::string> LineBuffer::nextLine()
{
    const auto lineBreak = mBytes.find('\n', mStart);
    if (lineBreak == std::string::npos) {
        mBytes.erase(0, mStart);
        mStart = 0;
        return std::nullopt;
    }
    std::string line = mBytes.substr(mStart, lineBreak - mStart);
    mStart = lineBreak + 1;
    return line;
}

} // namespace qm
