#include <gtest/gtest.h>

#include "foundation/Log.h"
#include "metadata/StreamTestFiles.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleInputFileStream.h"
#include "parsers/QMMetadataParser_TIFF.h"
#include "parsers/TiffBuilder.h"
#include "parsers/cPhotoshopImageResourcesIFDEntry.h"
#include "support/SampleFiles.h"

using namespace qm;
using namespace qm::test::tiff;

namespace {

const Bytes IIM = dataset(2, 120, "Caption") + dataset(2, 25, "a");
const Bytes PhotoshopIIM = resource(1005, {0, 1}) + resource(1028, dataset(2, 120, "From Photoshop"));
const std::string Packet = "<x:xmpmeta>k</x:xmpmeta>";

std::uint32_t size(const Bytes& bytes)
{
    return static_cast<std::uint32_t>(bytes.size());
}

std::shared_ptr<QMMetadataParser_TIFF> parse(const Bytes& bytes)
{
    auto parser = std::make_shared<QMMetadataParser_TIFF>("");
    simpleDataStream stream(std::make_shared<const Bytes>(bytes));
    EXPECT_TRUE(parser->parseImageStream(stream, nullptr));
    return parser;
}

std::string summary(const std::optional<IPTCRecordArray>& records)
{
    if (!records)
        return "absent";
    std::string result;
    for (const auto& record : *records) {
        const Bytes data = record->data().value_or(Bytes{});
        result += std::to_string(*record->IPTCcode().recordType()) + ":" +
                  std::to_string(*record->IPTCcode().dataSetCode()) + "=" + std::string(data.begin(), data.end()) + " ";
    }
    return result;
}

} // namespace

TEST(QMMetadataParser_TIFF, FindsIPTCInItsEntryOrInThePhotoshopResources)
{
    const struct {
        const char* name;
        std::vector<TiffEntry> entries;
        std::string expected;
    } cases[] = {
        {"33723 UNDEFINED", {{33723, IFDTypeUNDEFINED, size(IIM), IIM}}, "2:120=Caption 2:25=a "},
        {"33723 LONG, counted in 4-byte units", {{33723, IFDTypeLONG, 5, IIM + Bytes{0, 0}}}, "2:120=Caption 2:25=a "},
        {"33723 BYTE", {{33723, IFDTypeBYTE, size(IIM), IIM}}, "2:120=Caption 2:25=a "},
        {"33723 ASCII", {{33723, IFDTypeASCII, size(IIM), IIM}}, "2:120=Caption 2:25=a "},
        {"an empty 33723 has no records", {{33723, IFDTypeUNDEFINED, 0, {}}}, ""},
        {"33723 SHORT is not read; 34377 is",
         {{33723, IFDTypeSHORT, 9, IIM}, {34377, IFDTypeBYTE, size(PhotoshopIIM), PhotoshopIIM}},
         "2:120=From Photoshop "},
        {"34377 alone", {{34377, IFDTypeUNDEFINED, size(PhotoshopIIM), PhotoshopIIM}}, "2:120=From Photoshop "},
        {"33723 before 34377",
         {{33723, IFDTypeUNDEFINED, size(IIM), IIM}, {34377, IFDTypeBYTE, size(PhotoshopIIM), PhotoshopIIM}},
         "2:120=Caption 2:25=a "},
        {"34377 without resource 1028", {{34377, IFDTypeBYTE, 12, resource(1005, {})}}, "absent"},
        {"33723 value outside the file", {{33723, IFDTypeUNDEFINED, 0x7FFF, integer(0x7FFF0000, 4, false)}}, "absent"},
        {"no metadata", {{256, IFDTypeSHORT, 1, {0, 1}}}, "absent"},
    };
    for (const bool bigEndian : {true, false})
        for (const auto& c : cases) {
            const auto parser = parse(TiffBuilder(bigEndian).build({c.entries}).bytes);
            EXPECT_EQ(summary(parser->IPTCRecords()), c.expected) << c.name << " " << orderName(bigEndian);
            EXPECT_EQ(parser->fileByteOrderIsBigEndian(), bigEndian) << c.name;
        }
}

TEST(QMMetadataParser_TIFF, FindsXMPInTag700OrInThePhotoshopResources)
{
    const Bytes packet = text(Packet);
    const Bytes other = resource(1002, text("<x:xmpmeta/>"));
    const Bytes printSettings = resource(1002, text("<plist/>"));
    const Bytes both = resource(1002, text("<x:xmpmeta>A</x:xmpmeta>")) + resource(1060, text("B"));
    const struct {
        const char* name;
        std::vector<TiffEntry> entries;
        std::optional<std::string> expected;
    } cases[] = {
        {"700 BYTE", {{700, IFDTypeBYTE, size(packet), packet}}, Packet},
        {"700 ASCII", {{700, IFDTypeASCII, size(packet) + 1, packet + Bytes{0}}}, Packet},
        {"700 UNDEFINED as UTF-8", {{700, IFDTypeUNDEFINED, size(packet) + 2, packet + Bytes{0, 0}}}, Packet},
        {"700 UNDEFINED UTF-16 with a byte-order mark", {{700, IFDTypeUNDEFINED, 6, {0xFF, 0xFE, 'a', 0, 'b', 0}}},
         "ab"},
        {"700 UNDEFINED not text, then 34377",
         {{700, IFDTypeUNDEFINED, 2, {0xC3, 0x28}}, {34377, IFDTypeBYTE, size(other), other}}, "<x:xmpmeta/>"},
        {"34377 resource 1002 holding a packet", {{34377, IFDTypeUNDEFINED, size(other), other}}, "<x:xmpmeta/>"},
        {"34377 resource 1002 holding print settings",
         {{34377, IFDTypeUNDEFINED, size(printSettings), printSettings}}, std::nullopt},
        {"34377 resource 1060 alone", {{34377, IFDTypeBYTE, 12 + size(packet), resource(1060, packet)}}, Packet},
        {"34377 resource 1060 wins over 1002", {{34377, IFDTypeBYTE, size(both), both}}, "B"},
        {"700 before 34377", {{700, IFDTypeBYTE, size(packet), packet}, {34377, IFDTypeBYTE, size(other), other}},
         Packet},
        {"no metadata", {{256, IFDTypeSHORT, 1, {0, 1}}}, std::nullopt},
    };
    for (const bool bigEndian : {true, false})
        for (const auto& c : cases) {
            const auto parser = parse(TiffBuilder(bigEndian).build({c.entries}).bytes);
            EXPECT_EQ(parser->XMP(), c.expected) << c.name << " " << orderName(bigEndian);
        }
}

TEST(QMMetadataParser_TIFF, KeepsEditedMetadataWhereTheFileHadIt)
{
    const Bytes psBoth = PhotoshopIIM + resource(1002, text("<x:xmpmeta>old</x:xmpmeta>"));
    const struct {
        const char* name;
        std::vector<TiffEntry> entries;
    } cases[] = {
        {"in 33723 and 700", {{700, IFDTypeBYTE, 6, text("<old/>")}, {33723, IFDTypeUNDEFINED, size(IIM), IIM}}},
        {"in 34377 only", {{34377, IFDTypeBYTE, size(psBoth), psBoth}}},
        {"nowhere", {{256, IFDTypeSHORT, 1, {0, 1}}}},
    };
    for (const auto& c : cases) {
        const auto parser = parse(TiffBuilder(false).build({c.entries}).bytes);
        parser->setIPTCRecords(IPTCRecordArray{std::make_shared<cIPTCRecord>(2, 5, text("New"))});
        parser->setXMP("<x:xmpmeta>new</x:xmpmeta>");
        EXPECT_EQ(summary(parser->IPTCRecords()), "2:5=New ") << c.name;
        EXPECT_EQ(parser->XMP(), "<x:xmpmeta>new</x:xmpmeta>") << c.name;
        if (const auto ps = std::dynamic_pointer_cast<cPhotoshopImageResourcesIFDEntry>(parser->IFDEntryByTag(34377))) {
            EXPECT_EQ(summary(ps->IPTCRecords()), "2:5=New ") << c.name;
            EXPECT_EQ(ps->XMP(), "<x:xmpmeta>new</x:xmpmeta>") << c.name;
        }
    }
}

// A JPEG's Exif segment: "Exif", two zero bytes, then the TIFF structure whose offsets count from its header.
TEST(QMMetadataParser_TIFF, ReadsAnEmbeddedStructureRelativeToItsHeader)
{
    for (const bool bigEndian : {true, false}) {
        const Bytes shorts = integer(1, 2, bigEndian) + integer(2, 2, bigEndian) + integer(3, 2, bigEndian);
        const Bytes tiff = TiffBuilder(bigEndian)
                               .build({{{258, IFDTypeSHORT, 3, shorts}, {33723, IFDTypeUNDEFINED, size(IIM), IIM}}})
                               .bytes;
        const Bytes segment = text("Exif") + Bytes{0, 0} + tiff;
        simpleDataStream stream(std::make_shared<const Bytes>(segment));
        ASSERT_TRUE(stream.setStreamPosition(6));
        ASSERT_TRUE(QMMetadataParser::isTIFF(stream)) << orderName(bigEndian);
        auto parser = QMMetadataParser_TIFF::initFromStream(stream);
        ASSERT_TRUE(parser->parseImageStreamAtTiffHeader(stream, 6));
        EXPECT_EQ(parser->tiffHeaderOffsetInFile(), 6u);
        EXPECT_EQ(summary(parser->IPTCRecords()), "2:120=Caption 2:25=a ") << orderName(bigEndian);
        const auto entry = parser->IFDEntryByTag(258);
        ASSERT_TRUE(entry) << orderName(bigEndian);
        EXPECT_EQ(entry->parsedObjects(), PlistArray({1, 2, 3})) << orderName(bigEndian);

        // Offsets that pass 4 GiB when added to the header position lead nowhere.
        Bytes wrappingValue = segment;
        patch32(wrappingValue, 6 + 18, 0xFFFFFFFB, bigEndian); // the value field of tag 258
        simpleDataStream wrappingValueStream(std::make_shared<const Bytes>(wrappingValue));
        LogCapture log;
        ASSERT_TRUE(parser->parseImageStreamAtTiffHeader(wrappingValueStream, 6));
        ASSERT_TRUE(parser->IFDEntryByTag(258)) << orderName(bigEndian);
        EXPECT_FALSE(parser->IFDEntryByTag(258)->parsedObjects()) << orderName(bigEndian);
        Bytes wrappingIFD = segment;
        patch32(wrappingIFD, 6 + 4, 0xFFFFFFFC, bigEndian);
        simpleDataStream wrappingIFDStream(std::make_shared<const Bytes>(wrappingIFD));
        ASSERT_TRUE(parser->parseImageStreamAtTiffHeader(wrappingIFDStream, 6));
        EXPECT_TRUE(parser->IFDs().empty()) << orderName(bigEndian);
    }
}

// Every prefix of a file is read without harm, keeping the entries it holds and the records whose
// headers it holds.
TEST(QMMetadataParser_TIFF, KeepsWhatItReadWhenTheFileIsCutShort)
{
    const Bytes iim = IIM + dataset(2, 25, "b"); // datasets at 0, 12 and 18
    const Bytes packet = text(Packet);
    for (const bool bigEndian : {true, false}) {
        const BuiltTiff built = TiffBuilder(bigEndian).build(
            {{{256, IFDTypeSHORT, 1, integer(9, 2, bigEndian)},
              {270, IFDTypeASCII, 10, text("A caption") + Bytes{0}},
              {700, IFDTypeBYTE, size(packet), packet},
              {33723, IFDTypeUNDEFINED, size(iim), iim},
              {34665, IFDTypeLONG, 1, {}, {{33434, IFDTypeRATIONAL, 1, integer(1, 4, bigEndian) + integer(250, 4, bigEndian)}}}},
             {{256, IFDTypeSHORT, 1, integer(5, 2, bigEndian)}}});
        const std::uint32_t iptcValue = built.valueOffsets.at(33723);
        LogCapture log;
        for (std::uint32_t length = 0; length <= built.bytes.size(); ++length) {
            const auto parser = parse(Bytes(built.bytes.begin(), built.bytes.begin() + length));
            const std::string cut = std::string(orderName(bigEndian)) + " cut at " + std::to_string(length);
            const std::size_t entries = length < 10 ? 0 : std::min<std::size_t>(5, (length - 10) / 12);
            ASSERT_EQ(parser->IFDs().size(), length >= built.ifdOffsets[1] + 2 ? 2u : length >= 10 ? 1u : 0u) << cut;
            if (length >= 10) {
                EXPECT_EQ(parser->IFDs()[0]->IFDEntryCount(), entries) << cut;
            }
            long records = -1; // absent
            if (entries >= 4 && length > iptcValue)
                records = (length - iptcValue >= 5) + (length - iptcValue >= 17) + (length - iptcValue >= 23);
            const auto read = parser->IPTCRecords();
            EXPECT_EQ(read ? long(read->size()) : -1, records) << cut;
            if (length >= built.valueOffsets.at(700) + packet.size()) {
                EXPECT_EQ(parser->XMP(), Packet) << cut;
            }
        }
        EXPECT_EQ(summary(parse(built.bytes)->IPTCRecords()), "2:120=Caption 2:25=a 2:25=b ");
    }
}

TEST(QMMetadataParser_TIFF, SummarizesItsDirectoriesAndSearchesTheChainOnly)
{
    const BuiltTiff built = TiffBuilder(false).build(
        {{{256, IFDTypeSHORT, 1, integer(1, 2, false)}, {34665, IFDTypeLONG, 1, {}, {{33434, IFDTypeLONG, 1, {1, 0, 0, 0}}}}},
         {{256, IFDTypeSHORT, 1, integer(2, 2, false)}}});
    const auto parser = parse(built.bytes);
    const PlistValue expected = PlistArray{
        PlistDictionary{{"name", "IFD0"}, {"offset", 8}, {"tags", PlistArray{256, 34665}}},
        PlistDictionary{{"name", "ExifIFD"}, {"offset", 38}, {"tags", PlistArray{33434}}},
        PlistDictionary{{"name", "IFD1"}, {"offset", 56}, {"tags", PlistArray{256}}},
    };
    EXPECT_TRUE(parser->structureSummary() == expected);
    EXPECT_EQ(parser->className(), std::string("QMMetadataParser_TIFF"));
    EXPECT_EQ(parser->IFDEntryByTag(256)->parsedObjects(), PlistArray{1}) << "the first directory's entry";
    EXPECT_FALSE(parser->IFDEntryByTag(33434)) << "entries of the Exif IFD are not searched";
}

TEST(QMMetadataParser_TIFF, ReadsTheCorpusFile)
{
    SKIP_WITHOUT_SAMPLE_FILES();
    const auto parser = QMMetadataParser::MetadataParserForPath(qm::test::sampleFile("ExifTool.tif"), true);
    ASSERT_TRUE(parser);
    EXPECT_EQ(parser->className(), std::string("QMMetadataParser_TIFF"));
    const auto& tiff = dynamic_cast<const QMMetadataParser_TIFF&>(*parser);
    EXPECT_TRUE(tiff.fileByteOrderIsBigEndian());
    ASSERT_EQ(tiff.IFDs().size(), 1u);
    EXPECT_EQ(tiff.IFDs()[0]->IFDEntryCount(), 22u);
    EXPECT_EQ(tiff.IFDEntryByTag(271)->parsedObjects(), PlistArray{"Canon"});
    const PlistArray resolution{PlistArray{1800, 10}};
    EXPECT_EQ(tiff.IFDEntryByTag(282)->parsedObjects(), resolution);
    EXPECT_EQ(tiff.IFDEntryByTag(33723)->type(), IFDTypeLONG);
    const auto records = parser->IPTCRecords();
    ASSERT_TRUE(records);
    EXPECT_EQ(records->size(), 19u);
    EXPECT_EQ(parser->repeatedIPTCRecordByRecordType(2, 25)->dataAsFormattedString(), "exiftool, test, picture");
    const struct {
        std::uint8_t dataSet;
        const char* expected;
    } texts[] = {{120, "The picture caption"}, {80, "I'm the author"}, {110, "Phil Harvey"},
                 {5, "This is the title"},  {101, "Canada"},         {105, "headline"}};
    for (const auto& t : texts)
        EXPECT_EQ(parser->IPTCRecordByRecordType(2, t.dataSet)->dataAsFormattedString(), t.expected) << int(t.dataSet);
    EXPECT_FALSE(parser->XMP());
    EXPECT_GT(parser->heldByteCount(), 3144u + 284u) << "the ICC profile and the IPTC block are held";
}

// 200 MB of strips after a head of metadata: only the head is loaded.
TEST(QMMetadataParser_TIFF, ReadsOnlyTheHeadOfALargeFile)
{
    const std::uint32_t strips = 1 << 20;
    const Bytes head = TiffBuilder(true)
                           .build({{{273, IFDTypeLONG, 1, integer(strips, 4, true)},
                                    {279, IFDTypeLONG, 1, integer(199 << 20, 4, true)},
                                    {33723, IFDTypeUNDEFINED, size(IIM), IIM}}})
                           .bytes;
    const auto path = qm::test::writeStreamTestFile("large.tif", head);
    std::filesystem::resize_file(path, 200u << 20);
    simpleInputFileStream stream(path);
    const auto parser = std::make_shared<QMMetadataParser_TIFF>(path);
    parser->parseImageStream(stream, nullptr);
    EXPECT_EQ(summary(parser->IPTCRecords()), "2:120=Caption 2:25=a ");
    EXPECT_LT(stream.loadedByteCount(), 1u << 20);
    std::filesystem::remove(path);
}
