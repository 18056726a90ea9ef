#include "StreamTestFiles.h"

#include "metadata/StreamScanner.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleInputFileStream.h"

#include <gtest/gtest.h>

#include <string>

namespace qm {
namespace {

using Offsets = std::vector<std::optional<std::uint64_t>>;

const std::string_view Start = "<?xpacket begin=";
const std::string_view End = "<?xpacket end=";

simpleDataStream streamOver(const std::string& text)
{
    return simpleDataStream(std::make_shared<const std::vector<std::uint8_t>>(text.begin(), text.end()));
}

std::string withMarkersAt(std::size_t size, std::size_t startAt, std::size_t endAt)
{
    std::string text(size, '<');
    text.replace(startAt, Start.size(), Start);
    text.replace(endAt, End.size(), End);
    return text;
}

TEST(StreamScanner, FindsTheFirstOfEachPatternWhereverChunksSplitIt)
{
    constexpr std::size_t chunk = 8;
    const std::string_view patterns[] = {Start, End};
    // Every split of each marker between two chunks, and each marker whole inside one chunk.
    for (std::size_t startAt = 16; startAt < 16 + Start.size(); ++startAt)
        for (std::size_t endAt = 48; endAt < 48 + End.size(); ++endAt) {
            const std::string text = withMarkersAt(80, startAt, endAt);
            simpleDataStream stream = streamOver(text);
            StreamScanner scanner(stream, chunk);
            EXPECT_EQ(scanner.findFirst(patterns, 0), (Offsets{startAt, endAt}))
                << "start marker at " << startAt << ", end marker at " << endAt;
        }
}

TEST(StreamScanner, FindsPatternsFromAnOffsetUpToTheLimit)
{
    const std::string text = "xx<?xpacket begin=..<?xpacket end=<?xpacket begin=";
    struct Case { const char* name; std::uint64_t from, limit; Offsets expected; std::uint64_t scannedTo; };
    const Case cases[] = {
        {"both, stopping at the chunk that completes them", 0, StreamScanner::NoLimit, {2, 20}, 40},
        {"from an offset", 3, StreamScanner::NoLimit, {34, 20}, 50},
        {"pattern ending at the very end", 21, StreamScanner::NoLimit, {34, std::nullopt}, 50},
        {"pattern beyond the limit", 0, 33, {2, std::nullopt}, 33},
        {"from beyond the end", 60, StreamScanner::NoLimit, {std::nullopt, std::nullopt}, 60},
    };
    const std::string_view patterns[] = {Start, End};
    for (const Case& c : cases) {
        simpleDataStream stream = streamOver(text);
        StreamScanner scanner(stream, 10, c.limit);
        EXPECT_EQ(scanner.findFirst(patterns, c.from), c.expected) << c.name;
        EXPECT_EQ(scanner.scannedTo(), c.scannedTo) << c.name;
        EXPECT_EQ(stream.streamPosition(), 0u) << c.name << ": the cursor stays";
    }
}

TEST(StreamScanner, AnEmptyPatternOccursNowhere)
{
    simpleDataStream stream = streamOver("abc");
    StreamScanner scanner(stream, 2);
    const std::string_view patterns[] = {"", "c"};
    EXPECT_EQ(scanner.findFirst(patterns, 0), (Offsets{std::nullopt, 2}));
}

// The scan reads the file at offsets and keeps nothing: the stream's loaded head stays empty.
TEST(StreamScanner, ScanningAFileLoadsNothingIntoItsStream)
{
    const std::string text = withMarkersAt(3 * 1024 * 1024, 100, 3 * 1024 * 1024 - End.size());
    const auto path = test::writeStreamTestFile("scanned.bin", std::vector<std::uint8_t>(text.begin(), text.end()));
    simpleInputFileStream stream(path);
    StreamScanner scanner(stream);
    const std::string_view patterns[] = {Start, End};
    EXPECT_EQ(scanner.findFirst(patterns, 0), (Offsets{100, text.size() - End.size()}));
    EXPECT_EQ(stream.loadedByteCount(), 0u);
}

TEST(StreamScanner, ReachesOffsetsBeyondFourGibibytesInAFile)
{
    constexpr std::uint64_t fourGiB = 1ull << 32;
    const auto path = test::writeStreamTestFile("beyond4g.bin", {});
    std::error_code error;
    std::filesystem::resize_file(path, fourGiB + 100, error); // sparse: takes no disk space
    if (error)
        GTEST_SKIP() << "no sparse file beyond 4 GiB here: " << error.message();
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(static_cast<std::streamoff>(fourGiB + 5));
        file.write(End.data(), static_cast<std::streamsize>(End.size()));
    }
    simpleInputFileStream stream(path);
    StreamScanner scanner(stream, 16);
    EXPECT_EQ(scanner.findFirst(End, fourGiB - 20), fourGiB + 5);
    std::filesystem::remove(path);
}

} // namespace
} // namespace qm
