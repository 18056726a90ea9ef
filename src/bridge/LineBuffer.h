#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Collects bytes read from a stream and hands them out as lines (without their "\n").
class LineBuffer {
public:
    static constexpr std::size_t DefaultMaximumLineLength = 16 * 1024 * 1024;

    explicit LineBuffer(std::size_t maximumLineLength = DefaultMaximumLineLength) : mMaximumLineLength(maximumLineLength) {}

    // False once a line is longer than the maximum: what is held is dropped, and the stream is not
    // trusted further (every later append is refused).
    bool append(std::string_view bytes);
    std::optional<std::string> nextLine();

private:
    bool measure(std::string_view bytes);

    std::string mBytes;
    std::size_t mStart = 0; // where the lines not yet handed out begin in mBytes
    std::size_t mUnfinished = 0; // bytes after the last line break taken in
    std::size_t mMaximumLineLength;
    bool mOverflowed = false;
};

} // namespace qm
