#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace qm {

class simpleStream;

// Finds byte patterns in a stream from a 64-bit offset. It reads the stream in large chunks
// (simpleStream::readBytesAt) into one buffer that holds only the chunk in hand and the bytes
// before it that a pattern split between two chunks needs, so its memory stays bounded whatever
// the stream's size, and nothing it passes is kept.
class StreamScanner {
public:
    static constexpr std::size_t DefaultChunkSize = 1 << 20;
    static constexpr std::uint64_t NoLimit = std::numeric_limits<std::uint64_t>::max();

    // Reads at most up to `limit` (exclusive) and the stream's readable bytes, chunkSize bytes at a
    // time.
    explicit StreamScanner(simpleStream& stream, std::size_t chunkSize = DefaultChunkSize, std::uint64_t limit = NoLimit);

    // The offset of each pattern's first occurrence at or after `from`, in the patterns' order;
    // absent for a pattern that does not occur (an empty one never does). Reading stops as soon
    // as every pattern is found.
    std::vector<std::optional<std::uint64_t>> findFirst(std::span<const std::string_view> patterns, std::uint64_t from);
    std::optional<std::uint64_t> findFirst(std::string_view pattern, std::uint64_t from);

    // Where the last search stopped reading: the end of the chunk that completed it, or the end
    // of the stream's bytes.
    std::uint64_t scannedTo() const { return mScannedTo; }

private:
    std::uint8_t* bufferOf(std::size_t size);
    std::size_t readChunk(std::uint64_t offset, std::span<std::uint8_t> destination, std::uint64_t end);

    simpleStream& mStream;
    const std::size_t mChunkSize;
    const std::uint64_t mLimit;
    // Not cleared before use: a short stream touches only the pages it fills.
    std::unique_ptr<std::uint8_t[]> mBuffer;
    std::size_t mBufferSize = 0;
    std::uint64_t mScannedTo = 0;
};

} // namespace qm
