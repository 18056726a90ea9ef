#include "metadata/StreamScanner.h"

#include <algorithm>
#include <cstring>

#include "metadata/simpleStream.h"

namespace qm {

namespace {

std::size_t longestLength(std::span<const std::string_view> patterns)
{
    std::size_t longest = 0;
    for (const auto pattern : patterns)
        longest = std::max(longest, pattern.size());
    return longest;
}

bool allFound(const std::vector<std::optional<std::uint64_t>>& found)
{
    return std::all_of(found.begin(), found.end(), [](const auto& offset) { return offset.has_value(); });
}

std::optional<std::size_t> locate(std::span<const std::uint8_t> bytes, std::string_view pattern)
{
    if (pattern.empty())
        return std::nullopt;
    const void* hit = ::memmem(bytes.data(), bytes.size(), pattern.data(), pattern.size());
    if (!hit)
        return std::nullopt;
    return static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - bytes.data());
}

} // namespace

StreamScanner::StreamScanner(simpleStream& stream, std::size_t chunkSize, std::uint64_t limit)
    : mStream(stream), mChunkSize(std::max<std::size_t>(chunkSize, 1)), mLimit(limit)
{
}

// The buffer keeps the last (longest pattern - 1) bytes of each chunk in front of the next one,
// so a match across a chunk boundary is seen whole; a match wholly inside those kept bytes was
// already seen with the chunk before.
std::vector<std::optional<std::uint64_t>> StreamScanner::findFirst(std::span<const std::string_view> patterns,
                                                                   std::uint64_t from)
{
    std::vector<std::optional<std::uint64_t>> found(patterns.size());
    const std::size_t longest = longestLength(patterns);
    mScannedTo = from;
    if (longest == 0)
        return found;
    const std::size_t carry = longest - 1;
    mBuffer.resize(carry + mChunkSize);
    std::uint64_t bufferStart = from;
    std::size_t held = 0;
    while (!allFound(found)) {
        const std::size_t got = readChunk(bufferStart + held, held);
        if (got == 0)
            break;
        held += got;
        mScannedTo = bufferStart + held;
        for (std::size_t index = 0; index < patterns.size(); ++index)
            if (!found[index])
                if (const auto at = locate({mBuffer.data(), held}, patterns[index]))
                    found[index] = bufferStart + *at;
        const std::size_t kept = std::min(carry, held);
        std::memmove(mBuffer.data(), mBuffer.data() + held - kept, kept);
        bufferStart += held - kept;
        held = kept;
    }
    return found;
}

std::optional<std::uint64_t> StreamScanner::findFirst(std::string_view pattern, std::uint64_t from)
{
    return findFirst(std::span(&pattern, 1), from).front();
}

std::size_t StreamScanner::readChunk(std::uint64_t offset, std::size_t held)
{
    if (offset >= mLimit)
        return 0;
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(mChunkSize, mLimit - offset));
    return mStream.readBytesAt(offset, {mBuffer.data() + held, length});
}

} // namespace qm
