#pragma once

#include "foundation/StringEncodings.h"
#include "metadata/StreamRange.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// A cursor over a block of bytes: bounds-checked reads of host-order integers, peeks, block
// reads, C strings and a chunked string search. Subclasses change where the bytes come from.
class simpleStream {
public:
    static constexpr std::uint32_t DefaultSearchBufferSize = 255000;

    simpleStream() = default;
    // Wraps a block; with deleteOnDealloc the stream owns it and frees it with delete[].
    simpleStream(const std::uint8_t* bytes, std::uint32_t byteCount, bool deleteOnDealloc);
    virtual ~simpleStream();
    simpleStream(const simpleStream&) = delete;
    simpleStream& operator=(const simpleStream&) = delete;

    std::uint32_t streamByteCount() const { return mByteCount; }
    virtual std::uint32_t streamPosition() const;
    std::uint32_t remainingByteCount() const;
    virtual bool setStreamPosition(std::uint32_t position);
    const std::uint8_t* basePtr() const { return mBytes; }
    const std::uint8_t* offsetPtr() const;

    // Copies up to byteCount bytes from the cursor and advances past them; returns the count copied.
    virtual std::uint32_t readBytes(void* destination, std::uint32_t byteCount);
    // Up to byteCount bytes from the cursor, advancing past them.
    std::vector<std::uint8_t> data(std::uint32_t byteCount);
    // Copies up to destination.size() bytes from an offset and leaves the cursor where it was;
    // returns the count copied. A file stream reaches beyond 4 GiB this way.
    virtual std::size_t readBytesAt(std::uint64_t offset, std::span<std::uint8_t> destination);
    // How many bytes readBytesAt reaches: the byte count, or all of a file beyond 4 GiB.
    virtual std::uint64_t readableByteCount() const { return mByteCount; }

    std::int8_t readSInt8();
    std::uint8_t readUInt8();
    std::int16_t readSInt16();
    std::uint16_t readUInt16();
    std::int32_t readSInt32();
    std::uint32_t readUInt32();

    std::int8_t peekSInt8();
    std::uint8_t peekUInt8();
    std::int16_t peekSInt16();
    std::uint16_t peekUInt16();
    std::int32_t peekSInt32();
    std::uint32_t peekUInt32();

    // The same reads widened to one integer type, for callers that collect mixed values.
    std::int64_t readSInt8AsNSNumber() { return readSInt8(); }
    std::int64_t readUInt8AsNSNumber() { return readUInt8(); }
    std::int64_t readSInt16AsNSNumber() { return readSInt16(); }
    std::int64_t readUInt16AsNSNumber() { return readUInt16(); }
    std::int64_t readSInt32AsNSNumber() { return readSInt32(); }
    std::int64_t readUInt32AsNSNumber() { return readUInt32(); }

    // Bytes from the cursor up to the next zero byte or the end; the cursor stays.
    std::uint32_t cStringLength();
    // Copies the C string at the cursor (at most destination.size() bytes, no terminator) and
    // leaves the cursor after the copied bytes; returns the count copied.
    std::uint32_t copyCString(std::span<std::uint8_t> destination);
    // The C string at the cursor decoded with an encoding; absent when it does not decode.
    std::optional<std::string> cStringWithEncoding(StringEncoding encoding);

    // The first occurrence of the pattern's Mac OS Roman bytes at or after the cursor.
    StreamRange findString(std::string_view pattern);
    StreamRange findStringWithBufferSize(std::string_view pattern, std::uint32_t bufferSize);
    // The range of the first pattern (in list order) that occurs; the cursor is restored.
    StreamRange findAnyString(const std::vector<std::string>& patterns, std::uint32_t* foundIndex);

protected:
    const std::uint8_t* mBytes = nullptr;
    std::uint32_t mByteCount = 0;
    std::uint32_t mStreamPosition = 0;
    bool mDeleteOnDealloc = false;

private:
    template <typename Integer>
    Integer readInteger(const char* methodName);
    template <typename Integer>
    Integer peekInteger(Integer (simpleStream::*read)());
};

} // namespace qm
