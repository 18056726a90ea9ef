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

// Records the first match in the bytes (which start at `start`) of each pattern not found yet.
void findUnfound(std::span<const std::string_view> patterns, std::span<const std::uint8_t> bytes, std::uint64_t start,
                 std::vector<std::optional<std::uint64_t>>& found)
{
    for (std::size_t index = 0; index < patterns.size(); ++index)
        if (!found[index])
            if (const auto at = locate(bytes, patterns[index]))
                found[index] = start + *at;
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
    const std::uint64_t end = std::min(mLimit, mStream.readableByteCount());
    if (from >= end)
        return found;
    const std::size_t carry = longest - 1;
    const auto chunkSize = static_cast<std::size_t>(std::min<std::uint64_t>(mChunkSize, end - from));
    std::uint8_t* const buffer = bufferOf(carry + chunkSize);
    std::uint64_t bufferStart = from;
    std::size_t held = 0;
    while (!allFound(found)) {
        const std::size_t got = readChunk(bufferStart + held, {buffer + held, chunkSize}, end);
        if (got == 0)
            break;
        held += got;
        mScannedTo = bufferStart + held;
        findUnfound(patterns, {buffer, held}, bufferStart, found);
        const std::size_t kept = std::min(carry, held);
        std::memmove(buffer, buffer + held - kept, kept);
        bufferStart += held - kept;
        held = kept;
    }
    return found;
}

std::optional<std::uint64_t> StreamScanner::findFirst(std::string_view pattern, std::uint64_t from)
{
    return findFirst(std::span(&pattern, 1), from).front();
}

std::uint8_t* StreamScanner::bufferOf(std::size_t size)
{
    if (mBufferSize < size) {
        mBuffer = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        mBufferSize = size;
    }
    return mBuffer.get();
}

std::size_t StreamScanner::readChunk(std::uint64_t offset, std::span<std::uint8_t> destination, std::uint64_t end)
{
    if (offset >= end)
        return 0;
    return mStream.readBytesAt(offset, destination.first(std::min<std::uint64_t>(destination.size(), end - offset)));
}

} // namespace qm
