#include "StreamTestFiles.h"

#include "foundation/Log.h"
#include "metadata/simpleNSInputStream.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace qm {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::shared_ptr<InputStream> fileInput(const Bytes& bytes)
{
    return FileDescriptorInputStream::open(test::writeStreamTestFile("input.bin", bytes));
}

TEST(simpleNSInputStream, ReadsAndPeeksThroughTheFileOffset)
{
    simpleNSInputStream stream(fileInput({0x01, 0x02, 0x03, 0x04, 'h', 'i', 0, 'x'}), 8);
    EXPECT_EQ(stream.basePtr(), nullptr);
    EXPECT_EQ(stream.offsetPtr(), nullptr);
    const std::uint16_t peeked = stream.peekUInt16();
    EXPECT_EQ(stream.streamPosition(), 0u);
    EXPECT_EQ(stream.readUInt16(), peeked);
    EXPECT_NE(peeked, 0);
    EXPECT_EQ(stream.streamPosition(), 2u);
    EXPECT_EQ(stream.remainingByteCount(), 6u);
    ASSERT_TRUE(stream.setStreamPosition(4));
    EXPECT_EQ(stream.cStringWithEncoding(Encoding::UTF8), "hi");
    EXPECT_EQ(stream.streamPosition(), 6u);
    EXPECT_EQ(stream.streamStatus(), InputStream::Status::Open);
    Bytes rest(8);
    EXPECT_EQ(stream.readBytes(rest.data(), 8), 2u);
    EXPECT_EQ(stream.readBytes(rest.data(), 8), 0u);
    EXPECT_EQ(stream.streamStatus(), InputStream::Status::AtEnd);
}

TEST(simpleNSInputStream, IntegerReadsStopAtTheGivenByteCount)
{
    simpleNSInputStream stream(fileInput({1, 2, 3, 4, 5, 6}), 3);
    ASSERT_TRUE(stream.setStreamPosition(1));
    LogCapture log;
    EXPECT_EQ(stream.readUInt32(), 0u);
    EXPECT_EQ(stream.streamPosition(), 1u);
    EXPECT_TRUE(log.contains("simpleStream::readUInt32: Can't read beyond data bounds!"));
}

TEST(simpleNSInputStream, StreamsWithoutAFileOffsetOrWithoutAStreamAreNeutral)
{
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], "ab", 2), 2);
    ::close(ends[1]);
    simpleNSInputStream piped(std::make_shared<FileDescriptorInputStream>(ends[0], true), 2);
    EXPECT_EQ(piped.streamPosition(), 0u);
    EXPECT_FALSE(piped.setStreamPosition(1));
    EXPECT_EQ(piped.data(2), (Bytes{'a', 'b'}));

    simpleNSInputStream nothing(nullptr, 10);
    EXPECT_EQ(nothing.streamByteCount(), 0u);
    EXPECT_FALSE(nothing.setStreamPosition(0));
    EXPECT_EQ(nothing.streamStatus(), InputStream::Status::NotOpen);
    LogCapture quiet;
    EXPECT_EQ(nothing.readUInt8(), 0);
}

} // namespace
} // namespace qm
