#include "StreamTestFiles.h"

#include "foundation/Log.h"
#include "metadata/simpleInputFileStream.h"

#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

namespace qm {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes& fileBytes()
{
    static const Bytes bytes = test::offsetPatternBytes(300000);
    return bytes;
}

Bytes slice(std::size_t start, std::size_t count)
{
    return Bytes(fileBytes().begin() + start, fileBytes().begin() + start + count);
}

TEST(simpleInputFileStream, LoadsOnlyAsFarAsReadsAndSeeksReachPlusTheReadAhead)
{
    struct Case { const char* name; std::function<void(simpleInputFileStream&)> act; std::uint32_t loaded; };
    const Case cases[] = {
        {"nothing yet", [](simpleInputFileStream&) {}, 0},
        {"seek to the start", [](simpleInputFileStream& s) { s.setStreamPosition(0); }, 0},
        {"read four bytes", [](simpleInputFileStream& s) { s.readUInt32(); }, 4 + 131070},
        {"seek to 100", [](simpleInputFileStream& s) { s.setStreamPosition(100); }, 100 + 131070},
        {"seek to 200000", [](simpleInputFileStream& s) { s.setStreamPosition(200000); }, 300000},
        {"seek past the end", [](simpleInputFileStream& s) { s.setStreamPosition(300001); }, 0},
    };
    const auto path = test::writeStreamTestFile("lazy.bin", fileBytes());
    for (const Case& c : cases) {
        simpleInputFileStream stream(path);
        LogCapture quiet;
        c.act(stream);
        EXPECT_EQ(stream.loadedByteCount(), c.loaded) << c.name;
        EXPECT_EQ(stream.streamByteCount(), 300000u) << c.name;
    }
}

TEST(simpleInputFileStream, ReadsTheFileBytesAcrossLoadsAndAtItsEnd)
{
    simpleInputFileStream stream(test::writeStreamTestFile("reads.bin", fileBytes()));
    Bytes buffer(16);
    ASSERT_EQ(stream.readBytes(buffer.data(), 4), 4u);
    ASSERT_TRUE(stream.setStreamPosition(131072)); // two bytes before the end of what is loaded
    ASSERT_EQ(stream.readBytes(buffer.data(), 4), 4u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), slice(131072, 4));
    ASSERT_TRUE(stream.setStreamPosition(299996));
    EXPECT_EQ(stream.readBytes(buffer.data(), 8), 4u);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 4), slice(299996, 4));
    ASSERT_TRUE(stream.setStreamPosition(299990));
    EXPECT_EQ(stream.readBytes(buffer.data(), 0xFFFFFFFF), 10u);
    ASSERT_TRUE(stream.setStreamPosition(0));
    EXPECT_EQ(stream.data(0xFFFFFFFF), fileBytes());
}

TEST(simpleInputFileStream, EndsWhereTheFileEndsWhenItShrankAfterCreation)
{
    struct Case { const char* name; std::uint32_t loadFirst, shrinkTo, readFrom; };
    const Case cases[] = {
        {"before any load", 0, 1000, 0},
        {"after loading the head", 4, 150000, 131074},
        {"removed", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto path = test::writeStreamTestFile("shrinking.bin", fileBytes());
        simpleInputFileStream stream(path);
        Bytes head(4);
        stream.readBytes(head.data(), c.loadFirst);
        if (c.shrinkTo == 0)
            std::filesystem::remove(path);
        else
            std::filesystem::resize_file(path, c.shrinkTo);
        LogCapture log;
        EXPECT_FALSE(stream.setStreamPosition(200000)) << c.name;
        EXPECT_EQ(stream.streamByteCount(), c.shrinkTo) << c.name;
        ASSERT_EQ(stream.streamPosition(), c.loadFirst) << c.name;
        stream.setStreamPosition(c.readFrom);
        EXPECT_EQ(stream.data(0xFFFFFFFF), slice(c.readFrom, c.shrinkTo - c.readFrom)) << c.name;
        EXPECT_TRUE(log.contains("ended after")) << c.name;
    }
}

TEST(simpleInputFileStream, UnreadablePathsGiveAnEmptyStream)
{
    const auto folder = test::writeStreamTestFile("placeholder", {}).parent_path();
    for (const auto& path : {folder / "missing.jpg", folder}) {
        LogCapture log;
        simpleInputFileStream stream(path);
        EXPECT_TRUE(log.contains("bad file path given to simpleInputFileStream!!")) << path;
        EXPECT_EQ(stream.streamByteCount(), 0u) << path;
        EXPECT_EQ(stream.readUInt8(), 0) << path;
    }
}

TEST(simpleInputFileStream, CapsFilesBeyondFourGibibytes)
{
    const auto path = test::writeStreamTestFile("huge.bin", {1, 2, 3});
    std::error_code error;
    std::filesystem::resize_file(path, 5ull << 30, error); // sparse: takes no disk space
    if (error)
        GTEST_SKIP() << "no sparse 5 GiB file here: " << error.message();
    LogCapture log;
    simpleInputFileStream stream(path);
    std::filesystem::remove(path);
    EXPECT_EQ(stream.streamByteCount(), 0xFFFFFFFFu);
    EXPECT_TRUE(log.contains("only its first 4294967295 are readable"));
}

} // namespace
} // namespace qm
