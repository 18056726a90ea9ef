#include "metadata/simpleDataStream.h"
#include "metadata/simpleStream.h"

#include "foundation/Log.h"

#include <gtest/gtest.h>

#include <bit>
#include <functional>
#include <memory>

namespace qm {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct MemoryStream {
    Bytes bytes;
    simpleStream stream;
    explicit MemoryStream(Bytes data) : bytes(std::move(data)), stream(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false) {}
};

constexpr bool littleEndian = std::endian::native == std::endian::little;

TEST(simpleStream, PositionMayReachTheByteCountButNotPassIt)
{
    struct Case { std::uint32_t position; bool accepted; std::uint32_t after; const char* log; };
    const Case cases[] = {
        {0, true, 0, nullptr},
        {4, true, 4, nullptr},
        {5, false, 2, "simpleStream::setStreamPosition: Can't set stream position beyond data bounds! (pos: 5 data bounds: 4)"},
        {0xFFFFFFFF, false, 2, "(pos: 4294967295 data bounds: 4)"},
    };
    for (const Case& c : cases) {
        MemoryStream memory({1, 2, 3, 4});
        memory.stream.setStreamPosition(2);
        LogCapture log;
        EXPECT_EQ(memory.stream.setStreamPosition(c.position), c.accepted) << "position " << c.position;
        EXPECT_EQ(memory.stream.streamPosition(), c.after) << "position " << c.position;
        EXPECT_EQ(memory.stream.remainingByteCount(), 4 - c.after) << "position " << c.position;
        if (c.log)
            EXPECT_TRUE(log.contains(c.log)) << "position " << c.position;
        else
            EXPECT_TRUE(log.lines().empty()) << "position " << c.position;
    }
}

struct Reader { const char* name; std::uint32_t width; std::function<std::int64_t(simpleStream&)> read, peek; };

const std::vector<Reader>& readers()
{
    static const std::vector<Reader> all = {
        {"readSInt8", 1, [](simpleStream& s) { return s.readSInt8(); }, [](simpleStream& s) { return s.peekSInt8(); }},
        {"readUInt8", 1, [](simpleStream& s) { return s.readUInt8(); }, [](simpleStream& s) { return s.peekUInt8(); }},
        {"readSInt16", 2, [](simpleStream& s) { return s.readSInt16(); }, [](simpleStream& s) { return s.peekSInt16(); }},
        {"readUInt16", 2, [](simpleStream& s) { return s.readUInt16(); }, [](simpleStream& s) { return s.peekUInt16(); }},
        {"readSInt32", 4, [](simpleStream& s) { return s.readSInt32(); }, [](simpleStream& s) { return s.peekSInt32(); }},
        {"readUInt32", 4, [](simpleStream& s) { return s.readUInt32(); }, [](simpleStream& s) { return s.peekUInt32(); }},
    };
    return all;
}

TEST(simpleStream, ReadsWithTooFewBytesLeftReturnZeroLogAndConsumeNothing)
{
    for (const Reader& reader : readers()) {
        MemoryStream memory({0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88});
        const std::uint32_t start = 8 - (reader.width - 1);
        memory.stream.setStreamPosition(start);
        LogCapture log;
        EXPECT_EQ(reader.read(memory.stream), 0) << reader.name;
        EXPECT_EQ(reader.peek(memory.stream), 0) << reader.name;
        EXPECT_EQ(memory.stream.streamPosition(), start) << reader.name;
        EXPECT_TRUE(log.contains(std::string("simpleStream::") + reader.name + ": Can't read beyond data bounds!")) << reader.name;
    }
}

TEST(simpleStream, IntegersComeInHostOrderAndPeeksMatchTheNextRead)
{
    const Bytes bytes = {0x12, 0x34, 0xFF, 0xFE, 0x80, 0x01, 0x02, 0x03};
    struct Case { const char* name; std::int64_t little, big; };
    const Case cases[] = {
        {"readSInt8", 0x12, 0x12},
        {"readUInt8", 0x12, 0x12},
        {"readSInt16", 0x3412, 0x1234},
        {"readUInt16", 0x3412, 0x1234},
        {"readSInt32", std::int32_t(0xFEFF3412), 0x1234FFFE},
        {"readUInt32", 0xFEFF3412, 0x1234FFFE},
    };
    for (std::size_t index = 0; index < readers().size(); ++index) {
        const Reader& reader = readers()[index];
        MemoryStream memory(bytes);
        EXPECT_EQ(reader.peek(memory.stream), littleEndian ? cases[index].little : cases[index].big) << reader.name;
        EXPECT_EQ(memory.stream.streamPosition(), 0u) << reader.name;
        EXPECT_EQ(reader.read(memory.stream), littleEndian ? cases[index].little : cases[index].big) << reader.name;
        EXPECT_EQ(memory.stream.streamPosition(), reader.width) << reader.name;
    }
}

TEST(simpleStream, WidenedReadsKeepTheSignOfTheirType)
{
    struct Case { const char* name; std::function<std::int64_t(simpleStream&)> read; std::int64_t expected; };
    const Case cases[] = {
        {"SInt8", [](simpleStream& s) { return s.readSInt8AsNSNumber(); }, -1},
        {"UInt8", [](simpleStream& s) { return s.readUInt8AsNSNumber(); }, 0xFF},
        {"SInt16", [](simpleStream& s) { return s.readSInt16AsNSNumber(); }, -1},
        {"UInt16", [](simpleStream& s) { return s.readUInt16AsNSNumber(); }, 0xFFFF},
        {"SInt32", [](simpleStream& s) { return s.readSInt32AsNSNumber(); }, -1},
        {"UInt32", [](simpleStream& s) { return s.readUInt32AsNSNumber(); }, 0xFFFFFFFF},
    };
    for (const Case& c : cases) {
        MemoryStream memory({0xFF, 0xFF, 0xFF, 0xFF});
        EXPECT_EQ(c.read(memory.stream), c.expected) << c.name;
    }
}

TEST(simpleStream, BlockReadsStayInsideTheDataForAnyCount)
{
    struct Case { std::uint32_t position, count, copied; };
    const Case cases[] = {
        {0, 16, 16}, {0, 3, 3}, {8, 0xFFFFFFFF, 8}, {15, 0xFFFFFFF2, 1}, {16, 1, 0}, {16, 0xFFFFFFFF, 0}, {4, 0, 0},
    };
    Bytes source(16);
    for (std::size_t index = 0; index < source.size(); ++index)
        source[index] = static_cast<std::uint8_t>(index + 1);
    for (const Case& c : cases) {
        MemoryStream memory(source);
        memory.stream.setStreamPosition(c.position);
        Bytes destination(32, 0xEE);
        EXPECT_EQ(memory.stream.readBytes(destination.data(), c.count), c.copied) << c.position << "+" << c.count;
        EXPECT_EQ(memory.stream.streamPosition(), c.position + c.copied) << c.position << "+" << c.count;
        const Bytes expected(source.begin() + c.position, source.begin() + c.position + c.copied);
        EXPECT_EQ(Bytes(destination.begin(), destination.begin() + c.copied), expected) << c.position << "+" << c.count;
        EXPECT_EQ(destination[c.copied], 0xEE) << "wrote past the copied bytes at " << c.position << "+" << c.count;

        memory.stream.setStreamPosition(c.position);
        EXPECT_EQ(memory.stream.data(c.count), expected) << "data " << c.position << "+" << c.count;
    }
}

TEST(simpleStream, CStringsEndAtTheZeroByteOrTheData)
{
    struct Case { std::uint32_t position; std::size_t capacity; std::uint32_t length, copied, positionAfterCopy; std::optional<std::string> utf8; };
    const Case cases[] = {
        {0, 16, 3, 3, 3, "abc"},
        {3, 16, 0, 0, 3, ""},
        {4, 16, 3, 3, 7, "d\xC3\xA9"},
        {0, 2, 3, 2, 2, "abc"},
        {7, 16, 0, 0, 7, ""},
    };
    for (const Case& c : cases) {
        MemoryStream memory({'a', 'b', 'c', 0, 'd', 0xC3, 0xA9});
        memory.stream.setStreamPosition(c.position);
        EXPECT_EQ(memory.stream.cStringLength(), c.length) << "at " << c.position;
        EXPECT_EQ(memory.stream.streamPosition(), c.position) << "at " << c.position;
        Bytes destination(c.capacity + 1, 0xEE);
        EXPECT_EQ(memory.stream.copyCString(std::span(destination).first(c.capacity)), c.copied) << "at " << c.position;
        EXPECT_EQ(destination[c.copied], 0xEE) << "wrote a terminator or more at " << c.position;
        EXPECT_EQ(memory.stream.streamPosition(), c.positionAfterCopy) << "at " << c.position;
        memory.stream.setStreamPosition(c.position);
        EXPECT_EQ(memory.stream.cStringWithEncoding(Encoding::UTF8), c.utf8) << "at " << c.position;
    }
}

TEST(simpleStream, CStringsDecodeWithTheGivenEncodingOrNotAtAll)
{
    MemoryStream macRoman({0x8E, 0});
    EXPECT_EQ(macRoman.stream.cStringWithEncoding(Encoding::MacOSRoman), "\xC3\xA9");
    MemoryStream invalid({'a', 0xFF, 0});
    EXPECT_EQ(invalid.stream.cStringWithEncoding(Encoding::UTF8), std::nullopt);
}

TEST(simpleStream, EmptyStreamsFailSoftly)
{
    simpleStream empty;
    LogCapture log;
    EXPECT_EQ(empty.readUInt8(), 0);
    EXPECT_EQ(empty.offsetPtr(), nullptr);
    EXPECT_EQ(empty.findString("a"), StreamRange::NotFound);
    simpleDataStream noData(nullptr);
    EXPECT_EQ(noData.readUInt32(), 0u);
    EXPECT_TRUE(log.contains("simpleStream::readUInt8: Can't read beyond data bounds!"));
    EXPECT_TRUE(log.contains("simpleStream::readUInt32: Can't read beyond data bounds!"));
}

TEST(simpleStream, OwnedBlocksAndDataObjectsLiveAsLongAsTheStream)
{
    auto* block = new std::uint8_t[2]{7, 9};
    auto owning = std::make_unique<simpleStream>(block, 2, true);
    EXPECT_EQ(owning->peekUInt8(), 7);
    owning.reset(); // a leak or double free shows under the address sanitizer

    auto data = std::make_shared<const Bytes>(Bytes{1, 2, 3});
    const std::weak_ptr<const Bytes> watch = data;
    auto stream = std::make_unique<simpleDataStream>(std::move(data));
    EXPECT_FALSE(watch.expired());
    stream->setStreamPosition(2);
    EXPECT_EQ(stream->readUInt8(), 3);
    EXPECT_EQ(stream->basePtr(), watch.lock()->data());
    stream.reset();
    EXPECT_TRUE(watch.expired());
}

} // namespace
} // namespace qm
