#include "metadata/simpleStream.h"

#include "foundation/Log.h"
#include "metadata/StreamScanner.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

namespace qm {

simpleStream::simpleStream(const std::uint8_t* bytes, std::uint32_t byteCount, bool deleteOnDealloc)
    : mBytes(bytes), mByteCount(bytes ? byteCount : 0), mDeleteOnDealloc(deleteOnDealloc)
{
}

simpleStream::~simpleStream()
{
    if (mDeleteOnDealloc)
        delete[] mBytes;
}

std::uint32_t simpleStream::streamPosition() const
{
    return mStreamPosition;
}

std::uint32_t simpleStream::remainingByteCount() const
{
    const std::uint32_t position = streamPosition();
    return position < mByteCount ? mByteCount - position : 0;
}

bool simpleStream::setStreamPosition(std::uint32_t position)
{
    if (position > mByteCount) {
        Log::format("simpleStream::setStreamPosition: Can't set stream position beyond data bounds! "
                    "(pos: %u data bounds: %u)",
                    position, mByteCount);
        return false;
    }
    mStreamPosition = position;
    return true;
}

const std::uint8_t* simpleStream::offsetPtr() const
{
    return mBytes ? mBytes + mStreamPosition : nullptr;
}

std::uint32_t simpleStream::readBytes(void* destination, std::uint32_t byteCount)
{
    const std::uint32_t count = std::min(byteCount, remainingByteCount());
    if (count == 0 || !mBytes || !destination)
        return 0;
    std::memcpy(destination, mBytes + mStreamPosition, count);
    mStreamPosition += count;
    return count;
}

std::vector<std::uint8_t> simpleStream::data(std::uint32_t byteCount)
{
    const std::uint32_t count = std::min(byteCount, remainingByteCount());
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(count);
    } catch (const std::bad_alloc&) {
        Log::format("simpleStream::data: Can't allocate %u bytes!", count);
        return {};
    }
    bytes.resize(readBytes(bytes.data(), count));
    return bytes;
}

// Through the cursor, so every subclass's own reading applies.
std::size_t simpleStream::readBytesAt(std::uint64_t offset, std::span<std::uint8_t> destination)
{
    if (offset >= mByteCount)
        return 0;
    const std::uint32_t position = streamPosition();
    std::uint32_t count = 0;
    if (setStreamPosition(static_cast<std::uint32_t>(offset)))
        count = readBytes(destination.data(), static_cast<std::uint32_t>(std::min<std::size_t>(destination.size(), mByteCount)));
    setStreamPosition(position);
    return count;
}

// A failed read leaves the cursor where it was, even when a subclass's source delivered less
// than it promised.
template <typename Integer>
Integer simpleStream::readInteger(const char* methodName)
{
    const std::uint32_t start = streamPosition();
    if (remainingByteCount() >= sizeof(Integer)) {
        Integer value = 0;
        if (readBytes(&value, sizeof value) == sizeof value)
            return value;
        setStreamPosition(start);
    }
    Log::format("simpleStream::%s: Can't read beyond data bounds!", methodName);
    return 0;
}

template <typename Integer>
Integer simpleStream::peekInteger(Integer (simpleStream::*read)())
{
    const std::uint32_t start = streamPosition();
    const Integer value = (this->*read)();
    setStreamPosition(start);
    return value;
}

std::int8_t simpleStream::readSInt8() { return readInteger<std::int8_t>("readSInt8"); }
std::uint8_t simpleStream::readUInt8() { return readInteger<std::uint8_t>("readUInt8"); }
std::int16_t simpleStream::readSInt16() { return readInteger<std::int16_t>("readSInt16"); }
std::uint16_t simpleStream::readUInt16() { return readInteger<std::uint16_t>("readUInt16"); }
std::int32_t simpleStream::readSInt32() { return readInteger<std::int32_t>("readSInt32"); }
std::uint32_t simpleStream::readUInt32() { return readInteger<std::uint32_t>("readUInt32"); }

std::int8_t simpleStream::peekSInt8() { return peekInteger(&simpleStream::readSInt8); }
std::uint8_t simpleStream::peekUInt8() { return peekInteger(&simpleStream::readUInt8); }
std::int16_t simpleStream::peekSInt16() { return peekInteger(&simpleStream::readSInt16); }
std::uint16_t simpleStream::peekUInt16() { return peekInteger(&simpleStream::readUInt16); }
std::int32_t simpleStream::peekSInt32() { return peekInteger(&simpleStream::readSInt32); }
std::uint32_t simpleStream::peekUInt32() { return peekInteger(&simpleStream::readUInt32); }

// Reads through readBytes, so file streams load as they go and every subclass is covered.
std::uint32_t simpleStream::cStringLength()
{
    const std::uint32_t start = streamPosition();
    std::array<std::uint8_t, 4096> chunk;
    std::uint32_t length = 0;
    while (const std::uint32_t wanted = std::min<std::uint32_t>(chunk.size(), remainingByteCount())) {
        const std::uint32_t got = readBytes(chunk.data(), wanted);
        if (got == 0)
            break;
        const void* zero = std::memchr(chunk.data(), 0, got);
        if (zero) {
            length += static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(zero) - chunk.data());
            break;
        }
        length += got;
    }
    setStreamPosition(start);
    return length;
}

std::uint32_t simpleStream::copyCString(std::span<std::uint8_t> destination)
{
    const std::uint32_t length = cStringLength();
    const auto capacity = static_cast<std::uint32_t>(std::min<std::size_t>(destination.size(), length));
    return readBytes(destination.data(), capacity);
}

std::optional<std::string> simpleStream::cStringWithEncoding(StringEncoding encoding)
{
    const std::vector<std::uint8_t> bytes = data(cStringLength());
    return StringEncodings::decode(std::span<const std::uint8_t>(bytes), encoding);
}

StreamRange simpleStream::findString(std::string_view pattern)
{
    return findStringWithBufferSize(pattern, DefaultSearchBufferSize);
}

// An empty pattern, or one without a Mac OS Roman form, occurs nowhere.
StreamRange simpleStream::findStringWithBufferSize(std::string_view pattern, std::uint32_t bufferSize)
{
    const auto bytes = StringEncodings::encode(pattern, Encoding::MacOSRoman);
    if (!bytes || bytes->empty() || bytes->size() >= StreamRange::NotFoundValue)
        return StreamRange::NotFound;
    StreamScanner scanner(*this, bufferSize, mByteCount);
    const auto found = scanner.findFirst({reinterpret_cast<const char*>(bytes->data()), bytes->size()}, streamPosition());
    setStreamPosition(static_cast<std::uint32_t>(scanner.scannedTo()));
    if (!found)
        return StreamRange::NotFound;
    return {static_cast<std::uint32_t>(*found), static_cast<std::uint32_t>(bytes->size())};
}

StreamRange simpleStream::findAnyString(const std::vector<std::string>& patterns, std::uint32_t* foundIndex)
{
    const std::uint32_t start = streamPosition();
    for (std::size_t index = 0; index < patterns.size(); ++index) {
        const StreamRange range = findString(patterns[index]);
        setStreamPosition(start);
        if (range != StreamRange::NotFound) {
            if (foundIndex)
                *foundIndex = static_cast<std::uint32_t>(index);
            return range;
        }
    }
    if (foundIndex)
        *foundIndex = StreamRange::NotFoundValue;
    return StreamRange::NotFound;
}

} // namespace qm
