#include <gtest/gtest.h>

#include "support/ByteFixtures.h"

#include "foundation/Log.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleOutputStream.h"
#include "parsers/cPhotoshopIPTCImageResource.h"

using namespace qm;
using namespace qm::test;

namespace {

// "8BIM" and a big-endian identifier.
Bytes blockHeader(std::uint16_t identifier)
{
    return text("8BIM") + Bytes{static_cast<std::uint8_t>(identifier >> 8), static_cast<std::uint8_t>(identifier)};
}

Bytes sizeField(std::uint32_t size)
{
    return {static_cast<std::uint8_t>(size >> 24), static_cast<std::uint8_t>(size >> 16),
            static_cast<std::uint8_t>(size >> 8), static_cast<std::uint8_t>(size)};
}

simpleDataStream streamOver(const Bytes& bytes)
{
    return simpleDataStream(std::make_shared<const Bytes>(bytes));
}

Bytes written(const cPhotoshopImageResource& resource)
{
    simpleOutputStream out(0);
    resource.writeToStream(out);
    return Bytes(out.basePtr(), out.basePtr() + out.streamPosition());
}

Bytes writtenAll(const cPhotoshopImageResource::ResourceArray& resources)
{
    Bytes all;
    for (const auto& resource : resources)
        all = all + written(*resource);
    return all;
}

// IIM datasets: 1:90 UTF-8 marker, 2:25 keywords "a" and "b", 2:120 caption "Hi!".
const Bytes IPTCBlock = Bytes{0x1C, 1, 90, 0, 3, 0x1B, 0x25, 0x47} + Bytes{0x1C, 2, 25, 0, 1, 'a'} +
                        Bytes{0x1C, 2, 25, 0, 1, 'b'} + Bytes{0x1C, 2, 120, 0, 3, 'H', 'i', '!'};

} // namespace

TEST(cPhotoshopImageResource, BlockLengthFollowsNameAndDataPadding)
{
    struct Case {
        const char* label;
        Bytes block;
        std::string name;
        Bytes data;
    };
    const Case cases[] = {
        {"empty name, even data", blockHeader(1000) + Bytes{0, 0} + sizeField(2) + text("xy"), "", text("xy")},
        {"empty name, odd data", blockHeader(1000) + Bytes{0, 0} + sizeField(5) + text("hello") + Bytes{0}, "",
         text("hello")},
        {"name A", blockHeader(1000) + Bytes{1, 'A'} + sizeField(2) + text("xy"), "A", text("xy")},
        {"name AB", blockHeader(1000) + Bytes{2, 'A', 'B', 0} + sizeField(2) + text("xy"), "AB", text("xy")},
        {"empty data", blockHeader(1000) + Bytes{0, 0} + sizeField(0), "", {}},
    };
    for (const auto& c : cases) {
        auto stream = streamOver(c.block + text("8BIM"));
        const auto resource = cPhotoshopImageResource::initFromStream(stream);
        EXPECT_EQ(stream.streamPosition(), c.block.size()) << c.label;
        EXPECT_EQ(resource->signature(), cPhotoshopImageResource::Signature8BIM) << c.label;
        EXPECT_EQ(resource->identifier(), 1000) << c.label;
        EXPECT_EQ(resource->name(), c.name) << c.label;
        EXPECT_EQ(resource->data(), c.data) << c.label;
        EXPECT_EQ(written(*resource), c.block) << c.label;
    }
}

TEST(cPhotoshopImageResource, SequenceReadsBackAsWritten)
{
    const Bytes sequence = blockHeader(1005) + Bytes{0, 0} + sizeField(5) + text("12345") + Bytes{0} +
                           blockHeader(1028) + Bytes{1, 'A'} + sizeField(28) + IPTCBlock +
                           blockHeader(2000) + Bytes{2, 'A', 'B', 0} + sizeField(1) + text("z") + Bytes{0};
    auto stream = streamOver(sequence);
    const auto resources = cPhotoshopImageResource::readPhotoshopImageResources(stream, stream.streamByteCount());

    ASSERT_EQ(resources.size(), 3u);
    const auto iptc = std::dynamic_pointer_cast<cPhotoshopIPTCImageResource>(resources[1]);
    ASSERT_TRUE(iptc && iptc->IPTCRecords());
    EXPECT_EQ(iptc->IPTCRecords()->size(), 4u);
    EXPECT_EQ(stream.streamPosition(), sequence.size());
    EXPECT_EQ(writtenAll(resources), sequence);
}

TEST(cPhotoshopImageResource, SequenceEndsAtItsAreaOrAtAForeignBlock)
{
    const Bytes first = blockHeader(1000) + Bytes{0, 0} + sizeField(2) + text("xy");
    const Bytes second = blockHeader(1001) + Bytes{0, 0} + sizeField(4) + text("abcd");
    const Bytes foreign = text("MeSa") + Bytes{0x03, 0xE9, 0, 0} + sizeField(0);
    struct Case {
        const char* label;
        Bytes bytes;
        std::uint32_t segmentLength;
        std::vector<std::uint16_t> identifiers;
        std::uint32_t endPosition;
    };
    const auto firstSize = static_cast<std::uint32_t>(first.size());
    const auto bothSize = static_cast<std::uint32_t>(first.size() + second.size());
    const Case cases[] = {
        {"foreign signature stops, blocks after it are not read", first + foreign + second, 1000, {1000}, firstSize},
        {"foreign signature first", foreign + first, 1000, {}, 0},
        {"length ends after the first block", first + second, firstSize, {1000}, firstSize},
        {"length beyond the stream", first + second, 0xFFFFFFFF, {1000, 1001}, bothSize},
        {"length zero", first, 0, {}, 0},
        {"a tail too short for a header", first + text("8BI"), 1000, {1000}, firstSize},
        {"only signature and identifier", first + blockHeader(1001), 1000, {1000, 1001}, firstSize + 6},
    };
    for (const auto& c : cases) {
        auto stream = streamOver(c.bytes);
        std::vector<std::uint16_t> identifiers;
        for (const auto& resource : cPhotoshopImageResource::readPhotoshopImageResources(stream, c.segmentLength))
            identifiers.push_back(resource->identifier());
        EXPECT_EQ(identifiers, c.identifiers) << c.label;
        EXPECT_EQ(stream.streamPosition(), c.endPosition) << c.label;
    }
}

// A declared size never allocates more than is there, nor reaches past the area.
TEST(cPhotoshopImageResource, OversizedBlockKeepsTheBytesPresent)
{
    LogCapture quiet;
    const Bytes huge = blockHeader(1000) + Bytes{0, 0} + sizeField(0xFFFFFFFF) + text("abc");
    auto stream = streamOver(huge);
    const auto resources = cPhotoshopImageResource::readPhotoshopImageResources(stream, 0xFFFFFFFF);
    ASSERT_EQ(resources.size(), 1u);
    EXPECT_EQ(resources[0]->data(), text("abc"));
    EXPECT_EQ(written(*resources[0]), (blockHeader(1000) + Bytes{0, 0} + sizeField(3) + text("abc") + Bytes{0}));

    const Bytes spilling = blockHeader(1000) + Bytes{0, 0} + sizeField(8) + text("abcdefgh");
    auto area = streamOver(spilling);
    const auto clipped = cPhotoshopImageResource::readPhotoshopImageResources(area, 15);
    ASSERT_EQ(clipped.size(), 1u);
    EXPECT_EQ(clipped[0]->data(), text("abc"));
    EXPECT_EQ(area.streamPosition(), 15u);
}

TEST(cPhotoshopImageResource, NamesAreReadAsUTF8AndWrittenAsMacRoman)
{
    struct Case {
        const char* label;
        Bytes nameField;
        std::optional<std::string> name;
        Bytes writtenNameField;
    };
    const Case cases[] = {
        {"ASCII", {3, 'a', 'b', 'c'}, "abc", {3, 'a', 'b', 'c'}},
        {"accented", {2, 0xC3, 0x84, 0}, "\xC3\x84", {1, 0x80}},
        {"invalid UTF-8 becomes absent and empty", {1, 0xFF}, std::nullopt, {0, 0}},
        {"zero byte ends the name", {3, 'a', 0, 'c'}, "a", {1, 'a'}},
    };
    for (const auto& c : cases) {
        auto stream = streamOver(blockHeader(1000) + c.nameField + sizeField(0));
        const auto resource = cPhotoshopImageResource::initFromStream(stream);
        EXPECT_EQ(resource->name(), c.name) << c.label;
        EXPECT_EQ(written(*resource), blockHeader(1000) + c.writtenNameField + sizeField(0)) << c.label;
    }
}

TEST(cPhotoshopIPTCImageResource, WritesItsRecordsSortedWithTheirSize)
{
    cPhotoshopIPTCImageResource empty;
    EXPECT_FALSE(empty.IPTCRecords());
    EXPECT_EQ(written(empty), (blockHeader(1028) + Bytes{0, 0} + sizeField(0)));

    // 27 bytes of datasets: size 27, then a pad byte.
    cPhotoshopIPTCImageResource resource;
    resource.setData(text("stale bytes are not written"));
    resource.setIPTCRecords(IPTCRecordArray{std::make_shared<cIPTCRecord>(2, 120, text("Hi")),
                                            std::make_shared<cIPTCRecord>(2, 25, text("a")),
                                            std::make_shared<cIPTCRecord>(1, 90, Bytes{0x1B, 0x25, 0x47}),
                                            std::make_shared<cIPTCRecord>(2, 25, text("b"))});
    const Bytes sortedDatasets = Bytes{0x1C, 1, 90, 0, 3, 0x1B, 0x25, 0x47} + Bytes{0x1C, 2, 25, 0, 1, 'a'} +
                                 Bytes{0x1C, 2, 25, 0, 1, 'b'} + Bytes{0x1C, 2, 120, 0, 2, 'H', 'i'};
    EXPECT_EQ(written(resource), (blockHeader(1028) + Bytes{0, 0} + sizeField(27) + sortedDatasets + Bytes{0}));
}

TEST(cPhotoshopIPTCImageResource, LooksUpRecordsOnlyInTheIPTCResource)
{
    auto stream = streamOver(blockHeader(1028) + Bytes{0, 0} + sizeField(28) + IPTCBlock);
    const auto resource = cPhotoshopIPTCImageResource::initFromStream(stream);
    const cPhotoshopIPTCImageResource other(1000);

    const auto caption = resource->IPTCRecordByTag(2, 120);
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->data(), text("Hi!"));
    const auto keywords = resource->IPTCRecordByTag(2, 25);
    ASSERT_TRUE(keywords);
    EXPECT_EQ(keywords->dataAsFormattedString(), "a, b");
    EXPECT_EQ(keywords->textEncoding(), Encoding::MacOSRoman);
    EXPECT_EQ(keywords->IPTCcode(), cIPTCCode(2, 25));
    EXPECT_FALSE(resource->IPTCRecordByTag(2, 80));

    EXPECT_FALSE(other.IPTCRecordByTag(2, 120));
    EXPECT_FALSE(other.repeatedIPTCRecordByTag(2, 25)->IPTCcode().recordType());
}
