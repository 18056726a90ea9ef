#pragma once

#include "metadata/simpleStream.h"

namespace qm {

// A growable buffer owned by the stream. The written bytes are basePtr() up to the position;
// they live as long as the stream.
class simpleOutputStream : public simpleStream {
public:
    explicit simpleOutputStream(std::uint32_t byteCount);

    // Writes at the cursor, growing the buffer as needed; returns the count written (0 when refused).
    std::uint32_t writeBytes(const void* source, std::uint32_t byteCount);
    std::uint32_t bufferSize() const { return static_cast<std::uint32_t>(mBuffer.size()); }

private:
    bool reserveUpTo(std::uint64_t end);

    std::vector<std::uint8_t> mBuffer;
};

} // namespace qm
