#pragma once

#include "foundation/InputStream.h"
#include "metadata/simpleStream.h"

#include <memory>

namespace qm {

// A stream over a sequential input stream addressed by file offset. It has no bytes in memory:
// basePtr() and offsetPtr() are null. The wrapped stream is not closed when this one ends.
class simpleNSInputStream : public simpleStream {
public:
    simpleNSInputStream(std::shared_ptr<InputStream> stream, std::uint32_t byteCount);

    std::uint32_t streamPosition() const override;
    bool setStreamPosition(std::uint32_t position) override;
    std::uint32_t readBytes(void* destination, std::uint32_t byteCount) override;
    InputStream::Status streamStatus() const;

private:
    std::shared_ptr<InputStream> mStream;
};

} // namespace qm
