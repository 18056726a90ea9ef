#include "metadata/simpleOutputStream.h"

#include "foundation/Log.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes written(const simpleOutputStream& stream)
{
    return Bytes(stream.basePtr(), stream.basePtr() + stream.streamByteCount());
}

TEST(simpleOutputStream, GrowsToTwiceTheNeededSizeAndKeepsTheLongestLength)
{
    simpleOutputStream stream(4);
    const Bytes ten = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(stream.writeBytes(ten.data(), 10), 10u);
    EXPECT_EQ(stream.bufferSize(), 20u);
    EXPECT_EQ(stream.streamByteCount(), 10u);
    ASSERT_TRUE(stream.setStreamPosition(2));
    const Bytes two = {0xAA, 0xBB};
    EXPECT_EQ(stream.writeBytes(two.data(), 2), 2u);
    EXPECT_EQ(stream.streamPosition(), 4u);
    EXPECT_EQ(stream.streamByteCount(), 10u);
    EXPECT_EQ(written(stream), (Bytes{0, 1, 0xAA, 0xBB, 4, 5, 6, 7, 8, 9}));
}

TEST(simpleOutputStream, KeepsEveryByteAcrossManyGrowths)
{
    simpleOutputStream stream(0);
    Bytes expected;
    for (int index = 0; index < 5000; ++index) {
        const auto byte = static_cast<std::uint8_t>(index * 13);
        ASSERT_EQ(stream.writeBytes(&byte, 1), 1u) << "byte " << index;
        expected.push_back(byte);
    }
    EXPECT_EQ(written(stream), expected);
    ASSERT_TRUE(stream.setStreamPosition(4998));
    EXPECT_EQ(stream.readUInt8(), expected[4998]);
}

TEST(simpleOutputStream, RefusesWritesWhoseEndPassesFourGibibytes)
{
    simpleOutputStream stream(4);
    const std::uint8_t byte = 1;
    ASSERT_EQ(stream.writeBytes(&byte, 1), 1u);
    LogCapture log;
    EXPECT_EQ(stream.writeBytes(&byte, 0xFFFFFFFF), 0u);
    EXPECT_TRUE(log.contains("simpleOutputStream::writeBytes: Can't write beyond 4 GiB! (pos: 1 count: 4294967295)"));
    EXPECT_EQ(stream.streamPosition(), 1u);
    EXPECT_EQ(stream.streamByteCount(), 1u);
    EXPECT_EQ(stream.bufferSize(), 4u);
}

} // namespace
} // namespace qm
