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

    // False once an unfinished line is longer than the maximum: the stream is not trusted further.
    bool append(std::string_view bytes);
    std::optional<std::string> nextLine();

private:
    std::string mBytes;
    std::size_t mMaximumLineLength;
};

} // namespace qm
