#include "parsers/QMMetadataParser_PDF.h"

#include "foundation/Log.h"
#include "metadata/StreamTestFiles.h"
#include "metadata/StreamScanner.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleInputFileStream.h"
#include "support/SampleFiles.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using namespace std::string_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

std::optional<std::string> extract(const std::string& file,
                                   std::uint32_t maxPacketSize = QMMetadataParser_PDF::MaximumPacketSize)
{
    simpleDataStream stream(std::make_shared<const Bytes>(bytesOf(file)));
    return QMMetadataParser_PDF::extractXMPFromArbitraryStream(stream, maxPacketSize);
}

const std::string Begin = "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n";
const std::string End = "<?xpacket end=\"w\"?>";

// A packet wrapper with padding around the metadata element.
std::string packet(const std::string& element)
{
    return Begin + element + "\n" + std::string(40, ' ') + "\n" + End;
}

const std::string Meta = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF/></x:xmpmeta>";

TEST(QMMetadataParser_PDF, FindsTheFirstPacketsMetadataElement)
{
    struct Case { const char* name; std::string file; std::optional<std::string> expected; };
    const Case cases[] = {
        {"uncompressed PDF packet", "%PDF-1.4\n1 0 obj\n<</Type/Metadata>>stream\n" + packet(Meta) + "\nendstream", Meta},
        {"xapmeta spelling", packet("<x:xapmeta>a</x:xapmeta>"), "<x:xapmeta>a</x:xapmeta>"},
        {"xmpmeta anywhere later wins over xapmeta",
         packet("<x:xapmeta>a</x:xapmeta>") + "<x:xmpmeta>", std::nullopt},
        {"element before the packet start is skipped", "<x:xmpmeta stray>" + packet(Meta), Meta},
        {"two packets", packet(Meta) + packet("<x:xmpmeta>second</x:xmpmeta>"), Meta},
        {"end marker before the element", Begin + End + "<x:xmpmeta>a</x:xmpmeta>", std::nullopt},
        {"no begin marker", Meta + End, std::nullopt},
        {"no end marker", Begin + Meta, std::nullopt},
        {"no metadata element", packet("<rdf:RDF/>"), std::nullopt},
        {"markers are case-sensitive", packet("<X:XMPMETA>a</X:XMPMETA>"), std::nullopt},
        {"text up to the end marker", Begin + "<x:xmpmeta>cut" + End, "<x:xmpmeta>cut"},
        {"Unicode white space and line breaks trimmed, inner kept",
         Begin + "<x:xmpmeta>a \r\n b</x:xmpmeta>\r\n\t \xC2\xA0\xE2\x80\xA8\xE3\x80\x80" + End,
         "<x:xmpmeta>a \r\n b</x:xmpmeta>"},
        {"UTF-8 text kept", packet("<x:xmpmeta>Z\xC3\xBCrich</x:xmpmeta>"), "<x:xmpmeta>Z\xC3\xBCrich</x:xmpmeta>"},
        {"Latin-1 byte in the packet", packet("<x:xmpmeta>Z\xFCrich</x:xmpmeta>"), std::nullopt},
        {"EPS with a binary preview header",
         "\xC5\xD0\xD3\xC6\x1E\x00\x00\x00\x90\x00\x00\x00"s + std::string(16, '\0') +
             "%!PS-Adobe-3.0 EPSF-3.0\n%%BeginDocument\n" + packet(Meta) + "\n%%EOF\nII*\x00\xFF\x80"s,
         Meta},
    };
    for (const Case& c : cases)
        EXPECT_EQ(extract(c.file), c.expected) << c.name;
}

TEST(QMMetadataParser_PDF, RefusesPacketsLongerThanTheLimit)
{
    const std::string element = "<x:xmpmeta>" + std::string(1000, 'a') + "</x:xmpmeta>";
    const std::string file = Begin + element + End;
    const auto size = static_cast<std::uint32_t>(element.size());
    LogCapture log;
    EXPECT_EQ(extract(file, size), element);
    EXPECT_EQ(extract(file, size - 1), std::nullopt);
    EXPECT_TRUE(log.contains("is not read")) << "the refusal is logged";
}

// Places each marker at an offset, with spaces between them.
std::string placed(std::uint32_t beginAt, std::uint32_t elementAt, std::uint32_t endAt)
{
    std::string file(endAt + End.size(), ' ');
    file.replace(beginAt, Begin.size(), Begin);
    file.replace(elementAt, 24, "<x:xapmeta>a</x:xapmeta>");
    file.replace(endAt, End.size(), End);
    return file;
}

// Files larger than the scan's chunk, read from memory and from disk.
TEST(QMMetadataParser_PDF, FindsMarkersAcrossScanChunksAndAtTheFileEnd)
{
    constexpr std::uint32_t straddling = StreamScanner::DefaultChunkSize - 5;
    struct Case { const char* name; std::string file; std::optional<std::string> expected; };
    const Case cases[] = {
        {"begin marker across chunks", placed(straddling, straddling + 200, straddling + 400), "<x:xapmeta>a</x:xapmeta>"},
        {"metadata element across chunks", placed(10, straddling, straddling + 400), "<x:xapmeta>a</x:xapmeta>"},
        {"end marker across chunks", placed(10, 200, straddling), "<x:xapmeta>a</x:xapmeta>"},
        {"packet ending at the last byte", placed(2 * straddling, 2 * straddling + 100, 2 * straddling + 200),
         "<x:xapmeta>a</x:xapmeta>"},
        {"no packet", std::string(2 * straddling, '<'), std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(extract(c.file), c.expected) << c.name << " in memory";
        QMMetadataParser_PDF parser(test::writeStreamTestFile("straddling.pdf", bytesOf(c.file)));
        EXPECT_TRUE(parser.parseImage()) << c.name;
        EXPECT_EQ(parser.XMP(), c.expected) << c.name << " from a file";
    }
}

// The scan keeps none of the bytes it passes, and the packet is read where it lies.
TEST(QMMetadataParser_PDF, ParsingAFileLoadsNothingBeforeThePacket)
{
    const std::string file = std::string(3 * 1024 * 1024, 'x') + packet(Meta);
    const auto path = test::writeStreamTestFile("tail-packet.pdf", bytesOf(file));
    simpleInputFileStream stream(path);
    QMMetadataParser_PDF parser(path);
    ASSERT_TRUE(parser.parseImageStream(stream, nullptr));
    EXPECT_EQ(parser.XMP(), Meta);
    EXPECT_EQ(stream.loadedByteCount(), 0u);
}

// The factory gives EPS files, with or without the binary preview header, to the same scan.
TEST(QMMetadataParser_PDF, ReadsEPSFilesWithAndWithoutTheBinaryHeader)
{
    const std::string postScript = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\n" + packet(Meta) + "\n%%EOF\n";
    const struct { const char* name; std::string file; } cases[] = {
        {"binary header", "\xC5\xD0\xD3\xC6\x1E\x00\x00\x00"s + std::string(22, '\0') + postScript},
        {"plain text", postScript},
    };
    for (const auto& c : cases) {
        const auto parser = QMMetadataParser::MetadataParserForPath(test::writeStreamTestFile("read.eps", bytesOf(c.file)), true);
        ASSERT_NE(parser, nullptr) << c.name;
        EXPECT_STREQ(parser->className(), "QMMetadataParser_PDF") << c.name;
        EXPECT_EQ(parser->XMP(), Meta) << c.name;
    }
}

TEST(QMMetadataParser_PDF, ParsingReplacesXMPRecordsAndPacketPosition)
{
    const std::string element = "<x:xmpmeta><rdf:RDF><rdf:Description><photoshop:City>Kingston</photoshop:City>"
                                "</rdf:Description></rdf:RDF></x:xmpmeta>";
    const std::string file = "%PDF-1.3\n" + Begin + element + "  " + End;
    QMMetadataParser_PDF parser("unused.pdf");
    Error error{"untouched", 7, "", ""};
    simpleDataStream withPacket(std::make_shared<const Bytes>(bytesOf(file)));
    ASSERT_TRUE(parser.parseImageStream(withPacket, &error));
    EXPECT_EQ(parser.XMP(), element);
    const auto city = parser.IPTCRecordByRecordType(2, 90);
    EXPECT_EQ(city ? city->dataAsFormattedString() : "(none)", "Kingston");
    const PlistValue summary = parser.structureSummary();
    ASSERT_NE(summary.dictionary(), nullptr);
    EXPECT_EQ(*summary.dictionary()->at("packetStart").integer(), static_cast<std::int64_t>(9 + Begin.size()));
    EXPECT_EQ(*summary.dictionary()->at("packetEnd").integer(), static_cast<std::int64_t>(file.size() - End.size()));

    parser.setXMP("<x:xmpmeta/>");
    EXPECT_NE(parser.IPTCRecords(), std::nullopt) << "setting the packet does not convert it";

    simpleDataStream withoutPacket(std::make_shared<const Bytes>(bytesOf("%PDF-1.3\n%%EOF")));
    EXPECT_TRUE(parser.parseImageStream(withoutPacket, &error));
    EXPECT_EQ(parser.XMP(), std::nullopt);
    EXPECT_EQ(parser.IPTCRecords(), std::nullopt);
    EXPECT_TRUE(parser.structureSummary().isNull());
    EXPECT_EQ(error.domain, "untouched");
}

TEST(QMMetadataParser_PDF, RefusesToWrite)
{
    QMMetadataParser_PDF parser(test::writeStreamTestFile("refused.pdf", bytesOf(packet(Meta))));
    const auto target = parser.path().parent_path() / "refused-copy.pdf";
    LogCapture log;
    EXPECT_FALSE(parser.updateFileToURL(target, false, 0.8, nullptr));
    EXPECT_TRUE(log.contains("PDF doesnt write yet"));
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(QMMetadataParser_PDF, ReadsThePacketOfRealFiles)
{
    SKIP_WITHOUT_SAMPLE_FILES();
    for (const char* file : {"PDF.pdf", "PostScript.eps"}) {
        QMMetadataParser_PDF parser(qm::test::sampleFile(file));
        ASSERT_TRUE(parser.parseImage()) << file;
        const std::string xmp = parser.XMP().value_or("");
        EXPECT_EQ(xmp.size(), 3666u) << file;
        EXPECT_TRUE(xmp.starts_with("<x:xapmeta xmlns:x='adobe:ns:meta/'")) << file;
        EXPECT_TRUE(xmp.ends_with("</rdf:RDF>\n</x:xapmeta>")) << file;
        const auto city = parser.IPTCRecordByRecordType(2, 90);
        EXPECT_EQ(city ? city->dataAsFormattedString() : "(none)", "Kingston") << file;
    }
}

} // namespace
} // namespace qm
