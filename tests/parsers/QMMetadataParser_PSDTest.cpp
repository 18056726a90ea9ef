#include <gtest/gtest.h>

#include "support/PhotoshopBytes.h"
#include "support/SampleFiles.h"

#include "foundation/Log.h"
#include "metadata/simpleDataStream.h"
#include "parsers/QMMetadataParser_PSD.h"
#include "parsers/cPhotoshopIPTCImageResource.h"
#include "platform/fake/FakeImageLibrary.h"

using namespace qm;
using namespace qm::test;

namespace {

// 2:120 caption "Hi", 2:25 keyword "ab".
const Bytes IPTCData = Bytes{0x1C, 2, 120, 0, 2, 'H', 'i'} + Bytes{0x1C, 2, 25, 0, 2, 'a', 'b'};
const std::string Packet = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>";
const Bytes JPEG = {0xFF, 0xD8, 0xFF, 0xD9};
const Bitmap EmbeddedImage{2, 1, Bytes(8, 0x11)};
const Bitmap FileImage{140, 100, Bytes(140 * 100 * 4, 0x22)};
const Bitmap FileThumbnail{70, 50, Bytes(70 * 50 * 4, 0x22)};

std::shared_ptr<QMMetadataParser_PSD> parsed(const Bytes& bytes)
{
    auto parser = std::make_shared<QMMetadataParser_PSD>("/virtual/picture.psd");
    simpleDataStream stream(std::make_shared<const Bytes>(bytes));
    EXPECT_TRUE(parser->parseImageStream(stream, nullptr));
    return parser;
}

std::optional<std::vector<std::uint16_t>> identifiersRead(const Bytes& bytes)
{
    simpleDataStream stream(std::make_shared<const Bytes>(bytes));
    stream.setStreamPosition(std::min<std::uint32_t>(3, stream.streamByteCount()));
    const std::uint32_t start = stream.streamPosition();
    const auto resources = QMMetadataParser_PSD::readImageResourcesFromPhotoshopFile(stream);
    EXPECT_EQ(stream.streamPosition(), start);
    if (!resources)
        return std::nullopt;
    std::vector<std::uint16_t> identifiers;
    for (const auto& resource : *resources)
        identifiers.push_back(resource->identifier());
    return identifiers;
}

class QMMetadataParser_PSDThumbnail : public ::testing::Test {
protected:
    void SetUp() override { ImageLibrary::install(library); }
    void TearDown() override { ImageLibrary::install(nullptr); }
    std::shared_ptr<FakeImageLibrary> library = std::make_shared<FakeImageLibrary>();
};

} // namespace

TEST(QMMetadataParser_PSD, FindsTheResourcesAfterTheHeader)
{
    LogCapture quiet;
    using Identifiers = std::optional<std::vector<std::uint16_t>>;
    const Bytes resources = photoshopBlock(1028, IPTCData) + photoshopBlock(1060, text(Packet));
    const Bytes headerAndLength = PhotoshopHeader + bigEndian32(0);
    struct Case {
        const char* label;
        Bytes bytes;
        Identifiers identifiers;
    };
    const Case cases[] = {
        {"no colour table", photoshopDocument(resources), std::vector<std::uint16_t>{1028, 1060}},
        {"indexed colour table", photoshopDocument(resources, Bytes(768, 0x8B)), std::vector<std::uint16_t>{1028, 1060}},
        {"empty resources section", photoshopDocument({}), std::vector<std::uint16_t>{}},
        {"first block not 8BIM", photoshopDocument(text("MeSa") + Bytes{0x04, 0x04, 0, 0} + bigEndian32(0)),
         std::vector<std::uint16_t>{}},
        {"resources length beyond the file", PhotoshopHeader + bigEndian32(0) + bigEndian32(0xFFFFFFFF) + resources,
         std::vector<std::uint16_t>{1028, 1060}},
        {"shorter than the header", Bytes(PhotoshopHeader.begin(), PhotoshopHeader.end() - 1), std::nullopt},
        {"header only", PhotoshopHeader, std::vector<std::uint16_t>{}},
        {"colour-mode length without resources length", headerAndLength, std::vector<std::uint16_t>{}},
        {"colour-mode length past the end", PhotoshopHeader + bigEndian32(1000) + resources, std::vector<std::uint16_t>{}},
        {"colour-mode length wrapping 32 bits", PhotoshopHeader + bigEndian32(0xFFFFFFFC) + resources,
         std::vector<std::uint16_t>{}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(identifiersRead(c.bytes), c.identifiers) << c.label;
}

// Every prefix of a document reads without harm and keeps the start of what the whole one holds.
TEST(QMMetadataParser_PSD, TruncatedDocumentKeepsWhatItRead)
{
    LogCapture quiet;
    const Bytes whole = photoshopDocument(photoshopBlock(1028, IPTCData) + photoshopBlock(1060, text(Packet)) +
                                          photoshopBlock(1036, Bytes(40, 7)));
    simpleDataStream wholeStream(std::make_shared<const Bytes>(whole));
    const auto complete = *QMMetadataParser_PSD::readImageResourcesFromPhotoshopFile(wholeStream);
    ASSERT_EQ(complete.size(), 3u);

    std::size_t previousCount = 0;
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        simpleDataStream stream(std::make_shared<const Bytes>(whole.begin(), whole.begin() + cut));
        const auto resources = QMMetadataParser_PSD::readImageResourcesFromPhotoshopFile(stream);
        ASSERT_EQ(resources.has_value(), cut >= 26) << "cut at " << cut;
        if (!resources)
            continue;
        ASSERT_GE(resources->size(), previousCount) << "cut at " << cut;
        ASSERT_LE(resources->size(), complete.size()) << "cut at " << cut;
        previousCount = resources->size();
        for (std::size_t i = 0; i < resources->size(); ++i) {
            const Bytes& data = (*resources)[i]->data();
            const Bytes& full = complete[i]->data();
            EXPECT_EQ((*resources)[i]->identifier(), complete[i]->identifier()) << "cut at " << cut;
            EXPECT_TRUE(data.size() <= full.size() && std::equal(data.begin(), data.end(), full.begin()))
                << "cut at " << cut;
        }
    }
    EXPECT_EQ(previousCount, 3u);
}

TEST(QMMetadataParser_PSD, MetadataComesFromItsResources)
{
    const Bytes pageFormat = text("<?xml version=\"1.0\"?><plist/>");
    struct Case {
        const char* label;
        Bytes resources;
        std::optional<std::size_t> recordCount;
        std::optional<std::string> xmp;
    };
    const Case cases[] = {
        {"no resources", {}, std::nullopt, std::nullopt},
        {"IPTC only", photoshopBlock(1028, IPTCData), 2, std::nullopt},
        {"XMP in 1060", photoshopBlock(1060, text(Packet)), std::nullopt, Packet},
        {"XMP in 1002 only", photoshopBlock(1002, text(Packet)), std::nullopt, Packet},
        {"1060 preferred over 1002", photoshopBlock(1002, pageFormat) + photoshopBlock(1060, text(Packet)), std::nullopt,
         Packet},
        {"XMP not UTF-8", photoshopBlock(1060, Bytes{'<', 0xFF, 0xFE, '>'}), std::nullopt, std::nullopt},
        {"empty XMP resource", photoshopBlock(1060, {}), std::nullopt, std::nullopt},
        {"empty IPTC resource", photoshopBlock(1028, {}), 0, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto parser = parsed(photoshopDocument(c.resources));
        const auto records = parser->IPTCRecords();
        EXPECT_EQ(records ? std::optional(records->size()) : std::nullopt, c.recordCount) << c.label;
        EXPECT_EQ(parser->XMP(), c.xmp) << c.label;
    }
}

TEST(QMMetadataParser_PSD, SettersChangeOnlyResourcesThatExist)
{
    const IPTCRecordArray records{std::make_shared<cIPTCRecord>(2, 5, text("t"))};
    const auto bare = parsed(photoshopDocument(photoshopBlock(1000, Bytes{1, 2})));
    bare->setIPTCRecords(records);
    bare->setXMP(Packet);
    EXPECT_FALSE(bare->IPTCRecords());
    EXPECT_FALSE(bare->XMP());

    const auto full = parsed(photoshopDocument(photoshopBlock(1028, IPTCData) + photoshopBlock(1002, text("page")) +
                                               photoshopBlock(1060, text("old"))));
    full->setIPTCRecords(records);
    full->setXMP(Packet);
    EXPECT_EQ(full->IPTCRecords(), records);
    EXPECT_EQ(full->XMP(), Packet);
    EXPECT_EQ(full->photoshopImageResourceByID(1002)->data(), text("page"));
    full->setXMP(std::nullopt);
    EXPECT_FALSE(full->XMP());
}

TEST(QMMetadataParser_PSD, SummaryListsTheResourcesInFileOrder)
{
    const Bytes named = text("8BIM") + Bytes{0x03, 0xED, 2, 'A', 'B', 0} + bigEndian32(2) + Bytes{0, 1};
    const Bytes badName = text("8BIM") + Bytes{0x04, 0x0C, 1, 0xFF} + bigEndian32(0);
    const auto parser = parsed(photoshopDocument(photoshopBlock(1028, IPTCData) + named + badName));
    const PlistArray expected{PlistDictionary{{"id", 1028}, {"size", 14}, {"name", ""}},
                              PlistDictionary{{"id", 1005}, {"size", 2}, {"name", "AB"}},
                              PlistDictionary{{"id", 1036}, {"size", 0}}};
    EXPECT_EQ(parser->structureSummary(), PlistValue(expected));
    EXPECT_STREQ(parser->className(), "QMMetadataParser_PSD");
}

TEST_F(QMMetadataParser_PSDThumbnail, ThumbnailComesFromResource1036ElseFromTheFile)
{
    const Bytes thumbnailHeader(28, 0);
    struct Case {
        const char* label;
        Bytes resources;
        bool fileIsAnImage;
        std::optional<Bitmap> thumbnail;
    };
    const Case cases[] = {
        {"embedded JPEG", photoshopBlock(1036, thumbnailHeader + JPEG), true, EmbeddedImage},
        {"header without JPEG", photoshopBlock(1036, thumbnailHeader), true, FileThumbnail},
        {"undecodable JPEG", photoshopBlock(1036, thumbnailHeader + Bytes{1, 2}), true, FileThumbnail},
        {"no thumbnail resource", {}, true, FileThumbnail},
        {"nothing to show", {}, false, std::nullopt},
    };
    for (const auto& c : cases) {
        library = std::make_shared<FakeImageLibrary>();
        library->addEncodedImage(JPEG, EmbeddedImage);
        if (c.fileIsAnImage)
            library->addImage("/virtual/picture.psd", {FileImage, {}});
        ImageLibrary::install(library);
        EXPECT_EQ(parsed(photoshopDocument(c.resources))->thumbnail(), c.thumbnail) << c.label;
    }
}

TEST(QMMetadataParser_PSD, RefusesToWrite)
{
    LogCapture log;
    const auto parser = parsed(photoshopDocument(photoshopBlock(1028, IPTCData)));
    EXPECT_FALSE(parser->updateFileToURL("/virtual/out.psd", false, 1.0, nullptr));
    EXPECT_TRUE(log.contains("PSD doesnt write yet"));
}

TEST(QMMetadataParser_PSD, ReadsARealDocument)
{
    SKIP_WITHOUT_SAMPLE_FILES();
    auto parser = std::make_shared<QMMetadataParser_PSD>(qm::test::sampleFile("Photoshop.psd"));
    ASSERT_TRUE(parser->parseImage());

    const auto& resources = parser->imageResources();
    ASSERT_EQ(resources.size(), 22u);
    EXPECT_EQ(resources.front()->identifier(), 1028);
    EXPECT_EQ(resources.front()->size(), 126u);
    EXPECT_EQ(resources.back()->identifier(), 0x0422);
    EXPECT_EQ(parser->photoshopImageResourceByID(1060)->size(), 6862u);

    struct Expected {
        std::uint8_t dataSet;
        const char* text;
    };
    const Expected datasets[] = {{120, "This is a teeny weeny white square"}, {122, "Me too"}, {80, "Phil Harvey"},
                                 {85, "Supreme leader"}, {5, "Test Picture"}, {116, "Free for all"}};
    ASSERT_TRUE(parser->IPTCRecords());
    EXPECT_EQ(parser->IPTCRecords()->size(), 7u);
    for (const auto& dataset : datasets) {
        const auto record = parser->IPTCRecordByRecordType(2, dataset.dataSet);
        ASSERT_TRUE(record) << "2:" << int(dataset.dataSet);
        EXPECT_EQ(record->dataAsFormattedString(), dataset.text) << "2:" << int(dataset.dataSet);
    }

    const auto xmp = parser->XMP();
    ASSERT_TRUE(xmp);
    EXPECT_NE(xmp->find("x:xapmeta"), std::string::npos);
    EXPECT_NE(xmp->find("This is a teeny weeny white square"), std::string::npos);
}
