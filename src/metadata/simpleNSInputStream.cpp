#include "metadata/simpleNSInputStream.h"

#include <algorithm>
#include <limits>

namespace qm {

simpleNSInputStream::simpleNSInputStream(std::shared_ptr<InputStream> stream, std::uint32_t byteCount)
    : mStream(std::move(stream))
{
    mByteCount = mStream ? byteCount : 0;
}

std::uint32_t simpleNSInputStream::streamPosition() const
{
    const std::optional<std::uint64_t> offset = mStream ? mStream->fileOffset() : std::nullopt;
    constexpr std::uint64_t largest = std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(std::min(offset.value_or(0), largest));
}

bool simpleNSInputStream::setStreamPosition(std::uint32_t position)
{
    return mStream && mStream->setFileOffset(position);
}

std::uint32_t simpleNSInputStream::readBytes(void* destination, std::uint32_t byteCount)
{
    if (!mStream || !destination || byteCount == 0)
        return 0;
    const std::int64_t count = mStream->read(static_cast<std::uint8_t*>(destination), byteCount);
    return count > 0 ? static_cast<std::uint32_t>(std::min<std::int64_t>(count, byteCount)) : 0;
}

InputStream::Status simpleNSInputStream::streamStatus() const
{
    return mStream ? mStream->status() : InputStream::Status::NotOpen;
}

} // namespace qm
