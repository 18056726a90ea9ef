#include "StreamTestFiles.h"

#include "foundation/InputStream.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleInputFileStream.h"
#include "metadata/simpleNSInputStream.h"

#include <gtest/gtest.h>

#include <random>

namespace qm {
namespace {

std::shared_ptr<const std::vector<std::uint8_t>> bytesOf(const std::string& text)
{
    return std::make_shared<const std::vector<std::uint8_t>>(text.begin(), text.end());
}

constexpr std::uint32_t none = StreamRange::NotFoundValue;

TEST(simpleStreamSearch, FindsTheFirstOccurrenceFromTheCursor)
{
    struct Case { const char* name; std::string data, pattern; std::uint32_t start, bufferSize, location, length; };
    const Case cases[] = {
        {"aab", "aab", "ab", 0, 255000, 1, 2},
        {"failed partial match keeps its tail", "aaab", "aab", 0, 255000, 1, 3},
        {"overlapping candidates", "abababc", "ababc", 0, 255000, 2, 5},
        {"starts one byte before a chunk boundary", "0123456789", "45", 0, 5, 4, 2},
        {"spans three chunks", "xxxxhello", "hello", 0, 2, 4, 5},
        {"failed partial match across a boundary", "aaaaab", "aab", 0, 2, 3, 3},
        {"from the cursor", "abcabc", "abc", 1, 255000, 3, 3},
        {"at the very end", "xyzab", "ab", 0, 3, 3, 2},
        {"buffer size 0 scans byte by byte", "xab", "ab", 0, 0, 1, 2},
        {"Mac OS Roman bytes of the pattern", "x\x8E", "\xC3\xA9", 0, 1, 1, 1},
        {"absent", "abcabd", "abe", 0, 2, none, none},
        {"longer than the data", "ab", "abc", 0, 255000, none, none},
        {"cursor at the end", "ab", "b", 2, 255000, none, none},
        {"empty pattern", "ab", "", 0, 255000, none, none},
        {"no Mac OS Roman form", "ab\xE4\xB8\xAD", "\xE4\xB8\xAD", 0, 255000, none, none},
    };
    for (const Case& c : cases) {
        simpleDataStream stream(bytesOf(c.data));
        stream.setStreamPosition(c.start);
        EXPECT_EQ(stream.findStringWithBufferSize(c.pattern, c.bufferSize), (StreamRange{c.location, c.length})) << c.name;
    }
}

TEST(simpleStreamSearch, LeavesTheCursorAfterTheLastChunkRead)
{
    struct Case { const char* pattern; std::uint32_t cursor; };
    const Case cases[] = {{"45", 8}, {"01", 4}, {"zz", 10}};
    for (const Case& c : cases) {
        simpleDataStream stream(bytesOf("0123456789"));
        stream.findStringWithBufferSize(c.pattern, 4);
        EXPECT_EQ(stream.streamPosition(), c.cursor) << c.pattern;
    }
}

// Random data over a small alphabet makes near-misses and repeated prefixes common.
TEST(simpleStreamSearch, AgreesWithStringFindForRandomDataPatternsAndBufferSizes)
{
    std::mt19937 random(20240611);
    const auto below = [&](std::size_t limit) { return std::uniform_int_distribution<std::size_t>(0, limit - 1)(random); };
    const auto text = [&](std::size_t length) {
        std::string result(length, 'a');
        for (char& character : result)
            character = "abc"[below(3)];
        return result;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string data = text(below(60));
        const std::string pattern = text(1 + below(6));
        const auto start = static_cast<std::uint32_t>(below(data.size() + 1));
        const auto bufferSize = static_cast<std::uint32_t>(1 + below(9));
        const std::size_t expected = data.find(pattern, start);
        simpleDataStream stream(bytesOf(data));
        stream.setStreamPosition(start);
        const StreamRange found = stream.findStringWithBufferSize(pattern, bufferSize);
        const StreamRange wanted = expected == std::string::npos
                                       ? StreamRange::NotFound
                                       : StreamRange{static_cast<std::uint32_t>(expected), static_cast<std::uint32_t>(pattern.size())};
        ASSERT_EQ(found, wanted) << "data " << data << " pattern " << pattern << " start " << start << " buffer " << bufferSize;
    }
}

TEST(simpleStreamSearch, FindsAMatchAcrossTheDefaultChunkInFileAndInputStreams)
{
    std::vector<std::uint8_t> bytes(600000, 'x');
    const std::string marker = "Photoshop 3.0";
    std::copy(marker.begin(), marker.end(), bytes.begin() + 254995);
    const auto path = test::writeStreamTestFile("search.bin", bytes);
    simpleInputFileStream file(path);
    simpleNSInputStream input(FileDescriptorInputStream::open(path), 600000);
    for (simpleStream* stream : {static_cast<simpleStream*>(&file), static_cast<simpleStream*>(&input)}) {
        EXPECT_EQ(stream->findString(marker), (StreamRange{254995, 13}));
        stream->setStreamPosition(254996);
        EXPECT_EQ(stream->findString(marker), StreamRange::NotFound);
    }
}

TEST(simpleStreamSearch, FindAnyStringTakesTheFirstPatternInListOrderThatOccurs)
{
    struct Case { const char* name; std::vector<std::string> patterns; std::uint32_t start, index, location; };
    const Case cases[] = {
        {"second of two", {"zz", "b"}, 0, 1, 1},
        {"list order beats data order", {"b", "a"}, 0, 0, 1},
        {"from the cursor", {"a", "b"}, 1, 1, 1},
        {"none occurs", {"x", "y"}, 0, none, none},
        {"empty list", {}, 1, none, none},
    };
    for (const Case& c : cases) {
        simpleDataStream stream(bytesOf("ab"));
        stream.setStreamPosition(c.start);
        std::uint32_t index = 42;
        const StreamRange range = stream.findAnyString(c.patterns, &index);
        EXPECT_EQ(index, c.index) << c.name;
        EXPECT_EQ(range.location, c.location) << c.name;
        EXPECT_EQ(stream.streamPosition(), c.start) << c.name;
    }
    simpleDataStream stream(bytesOf("ab"));
    EXPECT_EQ(stream.findAnyString({"b"}, nullptr), (StreamRange{1, 1}));
}

} // namespace
} // namespace qm
