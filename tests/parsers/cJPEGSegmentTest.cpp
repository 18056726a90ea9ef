#include <gtest/gtest.h>

#include "foundation/Log.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleOutputStream.h"
#include "parsers/TiffBuilder.h"
#include "parsers/cAPP0_Segment.h"
#include "parsers/cAPP13_Segment.h"
#include "parsers/cJPEGSegment_APP1.h"

using namespace qm;
using namespace qm::test::tiff;

namespace {

Bytes segment(std::uint16_t marker, const Bytes& payload)
{
    return integer(marker, 2, true) + integer(payload.size() + 2, 2, true) + payload;
}

template <typename Segment = cJPEGSegment>
std::shared_ptr<Segment> read(const Bytes& bytes)
{
    simpleDataStream stream(std::make_shared<const Bytes>(bytes));
    return std::dynamic_pointer_cast<Segment>(cJPEGSegment::initFromStream(stream));
}

std::optional<Bytes> written(const cJPEGSegment& segment)
{
    simpleOutputStream output(0);
    if (!segment.writeToStream(output))
        return std::nullopt;
    return Bytes(output.basePtr(), output.basePtr() + output.streamPosition());
}

const Bytes XMPIdentifier = text("http://ns.adobe.com/xap/1.0/") + Bytes{0};
// "II", 42, first directory at 8: no entries, no next directory.
const Bytes ExifPayload = text("Exif") + Bytes{0, 0} + text("II") + Bytes{42, 0, 8, 0, 0, 0} + Bytes(6, 0);

} // namespace

// What a segment holds of its payload, and what it writes back (nothing when refused).
TEST(cJPEGSegment, ReadsWhatTheStreamHoldsAndWritesTheLengthItNeeds)
{
    LogCapture log;
    const Bytes cutShort{0xFF, 0xDB, 0, 0x10, 1, 2, 3};
    const Bytes lengthOneCutShort = Bytes{0xFF, 0xEE, 0, 1} + Bytes(10, 7);
    struct Case {
        const char* label;
        Bytes bytes;
        std::uint16_t byteCount;
        std::size_t held;
        std::optional<Bytes> written;
    };
    const Case cases[] = {
        {"whole segment", segment(0xFFDB, {1, 2, 3}) + Bytes{9}, 3, 3, segment(0xFFDB, {1, 2, 3})},
        {"empty payload", segment(0xFFDD, {}), 0, 0, segment(0xFFDD, {})},
        {"cut short keeps the length it was read with", cutShort, 14, 3, cutShort},
        {"65533 bytes", segment(0xFFE1, Bytes(65533, 5)), 65533, 65533, segment(0xFFE1, Bytes(65533, 5))},
        {"65534 bytes", segment(0xFFE1, Bytes(65534, 5)), 65534, 65534, std::nullopt},
        {"length 1", Bytes{0xFF, 0xEE, 0, 1} + Bytes(65535, 7), 65535, 65535, std::nullopt},
        {"length 1, cut short", lengthOneCutShort, 65535, 10, lengthOneCutShort},
    };
    for (const auto& c : cases) {
        const auto s = read(c.bytes);
        EXPECT_EQ(s->segmentMarker(), (c.bytes[0] << 8) | c.bytes[1]) << c.label;
        EXPECT_EQ(s->originalSegmentByteCount(), c.byteCount) << c.label;
        EXPECT_EQ(s->data(), Bytes(c.bytes.begin() + 4, c.bytes.begin() + 4 + c.held)) << c.label;
        EXPECT_EQ(written(*s), c.written) << c.label;
    }
    EXPECT_TRUE(log.contains("has 65534 bytes of data; at most 65533 fit"));
    auto changed = read(cutShort);
    changed->setData({1, 2});
    EXPECT_EQ(written(*changed), segment(0xFFDB, {1, 2}));
    changed->setShouldWriteToUpdatedFile(false);
    EXPECT_EQ(written(*changed), Bytes{});
    EXPECT_TRUE(read<cAPP0_Segment>(segment(0xFFE0, {})));
    EXPECT_TRUE(read<cJPEGSegment_APP1>(segment(0xFFE1, {})));
    EXPECT_TRUE(read<cAPP13_Segment>(segment(0xFFED, {})));
}

TEST(cJPEGSegment, PayloadAccessorsStayInsideThePayload)
{
    auto s = read(segment(0xFFE2, {0x12, 0x34, 'A', 0, 0x9A}));
    EXPECT_EQ(s->UInt8AtOffset(4), 0x9A);
    EXPECT_EQ(s->UInt32AtOffset(1), 0x3441009Au);
    EXPECT_EQ(s->UInt16AtOffset(4), std::nullopt);
    EXPECT_EQ(s->dataAtOffset(3, 2), (Bytes{0, 0x9A})) << "a range ending at the payload's end is inside";
    EXPECT_EQ(s->dataAtOffset(4, 2), std::nullopt);
    EXPECT_EQ(s->dataAtOffset(0xFFFFFFFF, 2), std::nullopt);
    EXPECT_EQ(s->stringAtOffset(2, 3, Encoding::UTF8), "A");
    EXPECT_EQ(s->appNameLength(), 3u);
    EXPECT_EQ(read(segment(0xFFE2, text("abc")))->appNameLength(), 3u);

    LogCapture log;
    EXPECT_TRUE(s->setUInt16(0xBEEF, 3));
    EXPECT_TRUE(log.contains("setBytesAtOffset!"));
    EXPECT_FALSE(s->setUInt32(1, 2));
    EXPECT_FALSE(s->setUInt8(1, 0xFFFFFFFF));
    EXPECT_TRUE(log.contains("can't set data beyond data bounds!"));
    EXPECT_EQ(s->data(), (Bytes{0x12, 0x34, 'A', 0xBE, 0xEF}));
}

TEST(cJPEGSegment, APP0ReadsTheJFIFHeader)
{
    LogCapture log;
    // Version 1.2, units 1, densities 72 and 96, a 1 × 1 thumbnail.
    const Bytes jfif = text("JFIF") + Bytes{0, 1, 2, 1, 0, 72, 0, 96, 1, 1, 9, 8, 7};
    const auto app0 = read<cAPP0_Segment>(segment(0xFFE0, jfif));
    EXPECT_EQ(app0->fileIdentifier(), "JFIF");
    EXPECT_EQ(app0->yDensity(), 96);
    EXPECT_EQ(app0->thumbnailData(), (Bytes{9, 8, 7}));
    EXPECT_TRUE(app0->setResolution(2, 300, 0x1234));
    EXPECT_EQ(app0->dataAtOffset(7, 5), (Bytes{2, 0x01, 0x2C, 0x12, 0x34}));
    EXPECT_FALSE(read<cAPP0_Segment>(segment(0xFFE0, text("JFIF") + Bytes{0, 1, 2}))->xDensity());
}

TEST(cJPEGSegment, APP1IsExifWhenATIFFHeaderFollowsTheIdentifierElseXMP)
{
    struct Case {
        const char* label;
        Bytes payload;
        std::optional<std::string> xmp;
    };
    const Case cases[] = {
        {"Exif", ExifPayload, std::nullopt},
        {"XMP", XMPIdentifier + text("<x/>"), "<x/>"},
        {"unknown identifier", text(std::string(29, 'Q')) + text("rest"), "rest"},
        {"shorter than the identifier", text("http://ns.adobe.com/"), std::nullopt},
        {"packet not UTF-8", XMPIdentifier + Bytes{0xFF}, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto app1 = read<cJPEGSegment_APP1>(segment(0xFFE1, c.payload));
        const bool exif = c.payload == ExifPayload;
        EXPECT_EQ(app1->hasXMP(), !exif) << c.label;
        EXPECT_EQ(app1->XMP(), c.xmp) << c.label;
        EXPECT_EQ(app1->setXMP("<y/>"), !exif) << c.label;
        EXPECT_EQ(app1->XMP(), exif ? std::nullopt : std::optional<std::string>("<y/>")) << c.label;
    }
}

TEST(cJPEGSegment, APP13IsReadIntoResourcesAndWrittenFromThem)
{
    const Bytes iptc = resource(1028, dataset(2, 120, "Hi"));
    const Bytes bytes = segment(0xFFED, text("Photoshop 3.0") + Bytes{0} + iptc + resource(1005, {7, 7}));
    const auto app13 = read<cAPP13_Segment>(bytes);
    ASSERT_EQ(app13->photoshopResources().size(), 2u);
    EXPECT_EQ(app13->IPTCRecordByTag(2, 120)->dataAsFormattedString(), "Hi");
    EXPECT_EQ(app13->photoshopImageResourceByID(1005)->data(), (Bytes{7, 7}));
    EXPECT_EQ(written(*app13), bytes);
    app13->setData(text("Photoshop 3.0") + Bytes{0});
    app13->photoshopResources().pop_back();
    EXPECT_EQ(written(*app13), segment(0xFFED, text("Photoshop 3.0") + Bytes{0} + iptc)) << "made from its resources";
    EXPECT_TRUE(read<cAPP13_Segment>(segment(0xFFED, text("no zero byte")))->photoshopResources().empty());
}
