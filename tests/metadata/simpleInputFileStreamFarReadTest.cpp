#include <gtest/gtest.h>

#include <filesystem>

#include "StreamTestFiles.h"
#include "metadata/simpleInputFileStream.h"

using namespace qm;

// A directory at the end of a large file is read without loading the bytes before it.
TEST(simpleInputFileStream, FarReadsLoadOnlyAWindow)
{
    const auto bytes = test::offsetPatternBytes(3 * 1024 * 1024);
    const auto path = test::writeStreamTestFile("far.bin", bytes);
    simpleInputFileStream stream(path);

    const std::uint32_t tail = static_cast<std::uint32_t>(bytes.size() - 6);
    ASSERT_TRUE(stream.setStreamPosition(tail));
    EXPECT_EQ(stream.loadedByteCount(), 0u) << "seeking far loads nothing";
    std::uint8_t read[8] = {};
    EXPECT_EQ(stream.readBytes(read, 8), 6u) << "only the bytes the file has";
    EXPECT_TRUE(std::equal(read, read + 6, bytes.end() - 6));
    EXPECT_EQ(stream.streamPosition(), bytes.size());
    EXPECT_EQ(stream.loadedByteCount(), 0u);

    ASSERT_TRUE(stream.setStreamPosition(2 * 1024 * 1024));
    EXPECT_EQ(stream.readUInt16(), static_cast<std::uint16_t>(bytes[2 * 1024 * 1024] | bytes[2 * 1024 * 1024 + 1] << 8));
    ASSERT_TRUE(stream.setStreamPosition(10));
    EXPECT_EQ(stream.readUInt8(), bytes[10]) << "near reads still load the head";
    EXPECT_EQ(stream.loadedByteCount(), simpleInputFileStream::ReadAhead + 10);

    std::filesystem::resize_file(path, 2 * 1024 * 1024 + 100);
    ASSERT_TRUE(stream.setStreamPosition(2 * 1024 * 1024 + 500000));
    EXPECT_EQ(stream.readUInt32(), 0u) << "a file cut short since: nothing is made up";
    EXPECT_LT(stream.streamByteCount(), 3u * 1024 * 1024) << "the stream no longer claims the lost bytes";
}
