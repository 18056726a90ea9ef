#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sys/stat.h>

#include "foundation/Log.h"
#include "foundation/ReadOnlyFile.h"
#include "metadata/StreamTestFiles.h"
#include "metadata/simpleBlockFileStream.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleInputFileStream.h"
#include "parsers/QMMetadataParser_JPG.h"
#include "parsers/QMMetadataParser_TIFF.h"
#include "parsers/TiffBuilder.h"
#include "parsers/cAPP13_Segment.h"
#include "parsers/cJPEGSegment_APP1.h"
#include "support/SampleFiles.h"

using namespace qm;
using namespace qm::test::tiff;
namespace fs = std::filesystem;

namespace {

Bytes segment(std::uint16_t marker, const Bytes& payload)
{
    return integer(marker, 2, true) + integer(payload.size() + 2, 2, true) + payload;
}

const Bytes StartOfImage{0xFF, 0xD8};
const Bytes JFIF = segment(0xFFE0, text("JFIF") + Bytes{0, 1, 2, 1, 0, 72, 0, 72, 0, 0});
// "MM", 42, first directory at 8: no entries, no next directory.
const Bytes Exif = segment(0xFFE1, text("Exif") + Bytes{0, 0} + text("MM") + Bytes{0, 42, 0, 0, 0, 8} + Bytes(6, 0));
const Bytes Tables = segment(0xFFDB, Bytes(65, 1));
const Bytes StartOfScan = segment(0xFFDA, {1, 1, 0, 0, 0x3F, 0});
// Stuffed FF 00, a restart marker and the end-of-image marker: taken as segments, they would be garbage.
const Bytes ScanData = Bytes{0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x00, 0x10, 0x56, 0xFF, 0xD9};
const Bytes IIM = dataset(2, 120, "Hi");

Bytes xmpSegment(const std::string& packet)
{
    return segment(0xFFE1, text("http://ns.adobe.com/xap/1.0/") + Bytes{0} + text(packet));
}

Bytes app13(const Bytes& resources)
{
    return segment(0xFFED, text("Photoshop 3.0") + Bytes{0} + resources);
}

// A resource stream over consecutive APP13 segments, cut at the given offsets.
Bytes app13Run(const Bytes& resources, std::vector<std::size_t> cuts)
{
    cuts.push_back(resources.size());
    Bytes run;
    std::size_t start = 0;
    for (const std::size_t cut : cuts) {
        run = run + app13(Bytes(resources.begin() + start, resources.begin() + cut));
        start = cut;
    }
    return run;
}

Bytes extendedXMPSegment(const std::string& part)
{
    return segment(0xFFE1, text("http://ns.adobe.com/xmp/extension/") + Bytes{0} + text(std::string(32, 'F')) +
                               integer(part.size(), 4, true) + integer(0, 4, true) + text(part));
}

Bytes jpeg(const Bytes& metadata, const Bytes& scanData = ScanData)
{
    return StartOfImage + JFIF + metadata + Tables + StartOfScan + scanData;
}

std::shared_ptr<QMMetadataParser_JPG> parsed(const Bytes& bytes)
{
    auto parser = std::make_shared<QMMetadataParser_JPG>("/virtual/picture.jpg");
    simpleDataStream stream(std::make_shared<const Bytes>(bytes));
    parser->parseImageStream(stream, nullptr);
    return parser;
}

std::shared_ptr<QMMetadataParser_JPG> parsedFile(const fs::path& path)
{
    auto parser = std::make_shared<QMMetadataParser_JPG>(path);
    EXPECT_TRUE(parser->parseImage()) << path;
    return parser;
}

const fs::path Folder = test::writeStreamTestFile("jpeg", {}).parent_path();

Bytes contents(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

bool rewrite(QMMetadataParser_JPG& parser, const fs::path& target, Error* error = nullptr)
{
    return parser.updateFileToURL(target, false, 1.0, error);
}

std::vector<Bytes> recordBytes(const QMMetadataParser& parser)
{
    std::vector<Bytes> values;
    for (const auto& record : parser.IPTCRecords().value_or(IPTCRecordArray{}))
        values.push_back(record->data().value_or(Bytes{}));
    return values;
}

} // namespace

TEST(QMMetadataParser_JPG, ReadsSegmentsUpToTheStartOfScanHeader)
{
    LogCapture log;
    const Bytes picture = jpeg(Exif);
    struct Case {
        const char* label;
        Bytes bytes;
        std::size_t segmentCount;
        std::uint32_t remainderOffset;
    };
    const Case cases[] = {
        {"whole picture", picture, 4, std::uint32_t(picture.size() - ScanData.size())},
        {"no start of scan", StartOfImage + JFIF + Tables + Bytes{0xFF, 0xD9}, 2, 2 + 18 + 69},
        {"zero length", StartOfImage + JFIF + Bytes{0xFF, 0xE2, 0, 0, 7, 7, 7}, 1, 20},
        {"marker FFFF", StartOfImage + Bytes{0xFF, 0xFF, 0, 3, 9} + JFIF, 1, 7},
        {"three bytes left", StartOfImage + JFIF + Bytes{0xFF, 0xE2, 5}, 1, 20},
        {"last segment cut short", StartOfImage + JFIF + Bytes{0xFF, 0xE1, 0, 0x40, 1, 2}, 2, 26},
        {"start-of-image only", StartOfImage, 0, 2},
        {"one byte", {0xFF}, 0, 1},
    };
    for (const auto& c : cases) {
        const auto parser = parsed(c.bytes);
        EXPECT_EQ(parser->JPEGSegments().size(), c.segmentCount) << c.label;
        EXPECT_EQ(parser->remainderOffset(), c.remainderOffset) << c.label;
    }
}

// A 4 MB scan: the reader stops at its header and loads little more than the read-ahead.
TEST(QMMetadataParser_JPG, DoesNotReadTheImageData)
{
    const Bytes picture = jpeg(Exif, Bytes(4 << 20, 0x5A));
    const auto path = test::writeStreamTestFile("large.jpg", picture);
    QMMetadataParser_JPG parser(path);
    simpleInputFileStream stream(path);
    parser.parseImageStream(stream, nullptr);
    std::size_t held = 0;
    for (const auto& s : parser.JPEGSegments())
        held += s->data().size();
    EXPECT_EQ(held, 14u + 20 + 65 + 6);
    EXPECT_LE(stream.loadedByteCount(), parser.remainderOffset() + simpleInputFileStream::ReadAhead);
    EXPECT_TRUE(rewrite(parser, Folder / "large copy.jpg"));
    EXPECT_EQ(contents(Folder / "large copy.jpg"), picture);
}

// Read from the file, through its head and small blocks, a file gives what it gives read whole
// in memory, reading no payload it steps over; unchanged, it is written back byte for byte.
TEST(QMMetadataParser_JPG, FileReaderWalksBrokenFilesAsTheMemoryReaderDoes)
{
    LogCapture log;
    const Bytes profile = segment(0xFFE2, Bytes(40000, 2));
    const Bytes iptc = app13(resource(1028, IIM));
    const std::uint64_t head = QMMetadataParser::HeadByteCount, block = QMMetadataParser_JPG::BlockByteCount;
    struct Case {
        const char* label;
        Bytes bytes;
        std::uint64_t mostBytesRead;
    };
    const Case cases[] = {
        {"profile after the metadata", jpeg(Exif + xmpSegment("<a/>") + iptc + profile), head + block},
        {"metadata after two profiles", jpeg(profile + profile + xmpSegment("<b/>") + iptc), head + 2 * block},
        {"IPTC crossing the head", jpeg(app13(resource(1061, Bytes(30000, 7)) + resource(1028, IIM)) + profile),
         30100 + 2 * block},
        {"length past the end", StartOfImage + JFIF + iptc + Bytes{0xFF, 0xE2, 0xFF, 0xF0, 1, 2}, head},
        {"huge length past the head", StartOfImage + profile + Bytes{0xFF, 0xE1, 0xFF, 0xFF} + Bytes(20, 1),
         head + block},
        {"header cut past the head", StartOfImage + profile + Bytes{0xFF, 0xE1, 0x00}, head + block},
        {"fill bytes", StartOfImage + JFIF + Bytes{0xFF, 0xFF, 0xFF, 0xE1, 0, 4, 1, 2} + iptc, head},
        {"no marker", StartOfImage + Bytes(30000, 0x41) + iptc, head + 3 * block},
        {"no start of scan", StartOfImage + profile + iptc + Tables, head + block},
    };
    for (const auto& c : cases) {
        const auto path = test::writeStreamTestFile("walk.jpg", c.bytes);
        const auto inMemory = parsed(c.bytes);
        ReadOnlyFile file(path);
        file.head(QMMetadataParser::HeadByteCount);
        simpleBlockFileStream stream(file, QMMetadataParser_JPG::BlockByteCount);
        QMMetadataParser_JPG fromFile(path);
        fromFile.parseImageStream(stream, nullptr);
        EXPECT_EQ(fromFile.structureSummary(), inMemory->structureSummary()) << c.label;
        EXPECT_EQ(recordBytes(fromFile), recordBytes(*inMemory)) << c.label;
        EXPECT_EQ(fromFile.XMP(), inMemory->XMP()) << c.label;
        EXPECT_LE(stream.fileBytesRead(), c.mostBytesRead) << c.label;
        ASSERT_TRUE(rewrite(fromFile, Folder / "walk copy.jpg")) << c.label;
        EXPECT_EQ(contents(Folder / "walk copy.jpg"), c.bytes) << c.label;
    }
}

// A payload left in the file is read at the rewrite: a file changed since then is not written.
TEST(QMMetadataParser_JPG, RewriteRefusesAFileChangedSinceItWasRead)
{
    LogCapture log;
    const auto path = test::writeStreamTestFile("changed.jpg", jpeg(Exif + segment(0xFFE2, Bytes(40000, 2))));
    const auto parser = parsedFile(path);
    fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
    Error error;
    EXPECT_FALSE(rewrite(*parser, Folder / "changed copy.jpg", &error));
    EXPECT_NE(error.localizedDescription.find("has changed since it was read"), std::string::npos);
    EXPECT_FALSE(fs::exists(Folder / "changed copy.jpg"));
}

TEST(QMMetadataParser_JPG, FindsAndSetsIPTCAndXMP)
{
    const Bytes iptc = resource(1028, IIM);
    const Bytes xmp1060 = resource(1060, text("<b/>"));
    struct Case {
        const char* label;
        Bytes metadata;
        std::optional<std::string> xmp;
        bool hasIPTC;
    };
    const Case cases[] = {
        {"nothing", Exif, std::nullopt, false},
        {"XMP after Exif", Exif + xmpSegment("<a/>"), "<a/>", false},
        {"XMP segment before resources", xmpSegment("<a/>") + app13(xmp1060), "<a/>", false},
        {"resource 1060 before 1002", app13(resource(1002, text("<p/>")) + xmp1060), "<b/>", false},
        {"resource 1002 alone", app13(resource(1002, text("<x:xmpmeta>c</x:xmpmeta>"))), "<x:xmpmeta>c</x:xmpmeta>",
         false},
        {"resource 1002 holding print settings", app13(resource(1002, text("<plist/>"))), std::nullopt, false},
        {"XMP segment not UTF-8", segment(0xFFE1, Bytes(30, 0xFF)) + app13(xmp1060), "<b/>", false},
        {"IPTC", app13(iptc), std::nullopt, true},
        {"resources of both APP13 segments", app13(resource(1060, text("<c/>"))) + app13(iptc), "<c/>", true},
        {"extended XMP first", extendedXMPSegment("<rdf:RDF/>") + xmpSegment("<a/>"), "<a/>", false},
        {"another program's APP1 first", segment(0xFFE1, text("http://example.com/a") + Bytes{0} + text("<a/>")) + xmpSegment("<m/>"),
         "<m/>", false},
        {"unidentified packet", segment(0xFFE1, Bytes(29, ' ') + text("<x:xmpmeta/>")), "<x:xmpmeta/>", false},
        {"unidentified, not a packet", segment(0xFFE1, Bytes(29, ' ') + text("<a/>")) + app13(xmp1060), "<b/>", false},
    };
    for (const auto& c : cases) {
        const auto parser = parsed(jpeg(c.metadata));
        EXPECT_EQ(parser->XMP(), c.xmp) << c.label;
        EXPECT_EQ(parser->IPTCRecords().has_value(), c.hasIPTC) << c.label;
    }
    const auto parser = parsed(jpeg(xmpSegment("<a/>") + app13(resource(1002, text("<p/>")) + xmp1060)));
    parser->setXMP("<new/>");
    EXPECT_EQ(parser->XMPSegment()->XMP(), "<new/>");
    EXPECT_EQ(parser->photoshopImageResourceByID(1060)->data(), text("<new/>"));
    EXPECT_EQ(parser->photoshopImageResourceByID(1002)->data(), text("<p/>"));
    parser->setIPTCRecords(IPTCRecordArray{std::make_shared<cIPTCRecord>(2, 5, text("t"))});
    EXPECT_FALSE(parser->IPTCRecords()) << "no resource 1028 is created";

    const Bytes extended = extendedXMPSegment("<rdf:RDF/>");
    const auto withExtension = parsed(jpeg(extended + xmpSegment("<a/>")));
    withExtension->setXMP("<new/>");
    EXPECT_EQ(withExtension->XMPSegment()->originalSegmentOffset(), 20u + extended.size());
    EXPECT_EQ(withExtension->XMPSegment()->XMP(), "<new/>");
    EXPECT_EQ(withExtension->JPEGSegments()[1]->data(), Bytes(extended.begin() + 4, extended.end()));
}

// Photoshop cuts its resource stream wherever a segment is full: inside a resource or a dataset.
TEST(QMMetadataParser_JPG, ReadsTheResourcesOfEveryPhotoshopAPP13SegmentJoined)
{
    const Bytes iptc = resource(1028, dataset(2, 80, "Jens Truebiger") + dataset(2, 120, "Caption"));
    const Bytes other = resource(1061, Bytes(20, 7));
    const Bytes adobeCM = segment(0xFFED, text("Adobe_CM") + Bytes{0, 1, 2});
    const struct {
        const char* label;
        Bytes metadata;
    } cases[] = {
        {"IPTC in the first", app13(iptc) + app13(other)},
        {"IPTC in the second", app13(other) + app13(iptc)},
        {"cut inside a dataset", app13Run(other + iptc, {other.size() + 22})},
        {"cut inside the resource header", app13Run(other + iptc, {other.size() + 3})},
        {"cut three times", app13Run(other + iptc, {5, other.size() + 1, other.size() + 30})},
        {"empty first", app13({}) + app13(iptc)},
        {"empty IPTC block first", app13(resource(1028, {})) + app13(iptc)},
        {"another program's APP13 between", app13(other) + adobeCM + Exif + app13(iptc)},
        {"another program's APP13 first", adobeCM + app13(iptc)},
    };
    for (const auto& c : cases) {
        const auto records = parsed(jpeg(c.metadata))->IPTCRecords();
        ASSERT_TRUE(records) << c.label;
        std::vector<std::string> values;
        for (const auto& record : *records)
            values.push_back(record->dataAsFormattedString());
        EXPECT_EQ(values, (std::vector<std::string>{"Jens Truebiger", "Caption"})) << c.label;
    }
}

// `set` without a change: resources serialised anew would lose what the reader skipped.
TEST(QMMetadataParser_JPG, RewriteWithoutChangesKeepsEveryAPP13ByteAsRead)
{
    LogCapture log;
    const Bytes iptc = resource(1028, dataset(2, 120, "Caption") + Bytes{0, 0} + dataset(2, 80, "By"));
    const Bytes damaged = text("8BIM") + integer(1061, 2, true) + Bytes{0, 0} + integer(1 << 20, 4, true) +
                          Bytes(4096, 3);
    const Bytes files[] = {
        jpeg(app13Run(resource(1061, Bytes(20, 7)) + iptc, {30})),
        jpeg(app13(iptc + damaged)),
        jpeg(app13(resource(1028, dataset(2, 120, text("Caption") + Bytes{0, 0, 0}) + dataset(2, 5, "T")))),
        jpeg(app13(iptc) + Exif + app13(resource(1061, {1}))),
        jpeg(segment(0xFFED, text("Adobe_CM") + Bytes{0} + iptc + Bytes{9})),
    };
    for (const auto& file : files) {
        const auto source = test::writeStreamTestFile("unchanged.jpg", file);
        const auto parser = parsedFile(source);
        parser->setIPTCRecords(parser->IPTCRecords());
        ASSERT_TRUE(rewrite(*parser, Folder / "unchanged copy.jpg"));
        EXPECT_EQ(contents(Folder / "unchanged copy.jpg"), file);
    }
}

// A changed resource stream goes back at the first Photoshop segment's place, over as many
// segments as it needs; the others are dropped, other programs' APP13 segments kept.
TEST(QMMetadataParser_JPG, ChangedResourcesAreSplitOverAsManyAPP13SegmentsAsTheyNeed)
{
    const Bytes large = resource(1061, Bytes(70000, 7));
    const Bytes adobeCM = segment(0xFFED, text("Adobe_CM") + Bytes{0, 1, 2});
    const Bytes before = large + resource(1028, dataset(2, 120, "Old"));
    const auto source =
        test::writeStreamTestFile("run.jpg", jpeg(app13Run(before, {65519}) + Exif + adobeCM));
    const auto parser = parsedFile(source);
    (*parser->IPTCRecords())[0]->setDataFromString("New caption");
    ASSERT_TRUE(rewrite(*parser, source));

    const Bytes after = large + resource(1028, dataset(2, 120, "New caption"));
    EXPECT_EQ(contents(source), jpeg(app13Run(after, {65519}) + Exif + adobeCM));
    EXPECT_EQ((*parsedFile(source)->IPTCRecords())[0]->dataAsFormattedString(), "New caption");

    const auto shrunk = parsedFile(source);
    shrunk->photoshopImageResourceByID(1061)->setData({});
    ASSERT_TRUE(rewrite(*shrunk, source));
    EXPECT_EQ(contents(source), jpeg(app13(resource(1061, {}) + resource(1028, dataset(2, 120, "New caption"))) +
                                     Exif + adobeCM));
}

// Every prefix of each file, rewritten in place: a last segment cut short, three bytes left, no
// start of scan, bytes after the end-of-image marker, a zero length followed by other bytes.
TEST(QMMetadataParser_JPG, RewriteOfAnUnchangedFileWithoutAPP13IsByteIdentical)
{
    LogCapture log;
    const Bytes files[] = {jpeg(Exif + xmpSegment("<a>" + std::string(300, ' ') + "</a>")) + Bytes{1, 2, 3},
                           StartOfImage + JFIF + Bytes{0xFF, 0xE2, 0, 0, 7, 7, 7}};
    for (const auto& file : files)
        for (std::size_t cut = 0; cut <= file.size(); ++cut) {
            const Bytes bytes(file.begin(), file.begin() + cut);
            const auto path = test::writeStreamTestFile("cut.jpg", bytes);
            ASSERT_TRUE(rewrite(*parsedFile(path), path)) << "cut at " << cut;
            ASSERT_EQ(contents(path), bytes) << "cut at " << cut;
        }
    const Bytes withResources = jpeg(Exif + app13(resource(1028, IIM) + resource(1060, text("<b/>"))));
    for (std::size_t cut = 0; cut <= withResources.size(); ++cut) {
        const auto parser = parsed(Bytes(withResources.begin(), withResources.begin() + cut));
        EXPECT_LE(parser->remainderOffset(), cut);
        EXPECT_EQ(parser->IPTCRecords().has_value(), parser->photoshopImageResourceByID(1028) != nullptr) << cut;
    }
}

TEST(QMMetadataParser_JPG, RewriteChangesOnlyTheChangedSegments)
{
    auto parser = parsedFile(test::writeStreamTestFile("xmp.jpg", jpeg(Exif + xmpSegment("<a/>"))));
    parser->setXMP("<longer packet/>");
    ASSERT_TRUE(rewrite(*parser, Folder / "xmp copy.jpg"));
    EXPECT_EQ(contents(Folder / "xmp copy.jpg"), jpeg(Exif + xmpSegment("<longer packet/>")));

    const auto withIPTC = test::writeStreamTestFile("iptc.jpg", jpeg(app13(resource(1028, IIM))));
    parser = parsedFile(withIPTC);
    parser->setIPTCRecords(IPTCRecordArray{std::make_shared<cIPTCRecord>(2, 5, text("Title"))});
    ASSERT_TRUE(rewrite(*parser, withIPTC));
    EXPECT_EQ(contents(withIPTC), jpeg(app13(resource(1028, dataset(2, 5, "Title")))));
}

TEST(QMMetadataParser_JPG, FailedRewriteSaysWhyAndLeavesTheTargetUntouched)
{
    LogCapture log;
    const std::string huge(70000, 'x');
    const Bytes picture =
        jpeg(xmpSegment("<a/>") + segment(0xFFED, text("Adobe_CM") + Bytes{0} + resource(1060, {})));
    const fs::path target = Folder / "target.jpg";
    struct Case {
        const char* label;
        std::function<void(QMMetadataParser_JPG&, const fs::path&)> change;
        fs::path target;
        std::string reason;
    };
    const Case cases[] = {
        {"XMP segment too large", [&](auto& p, auto&) { p.XMPSegment()->setXMP(huge); }, target,
         "segment FFE1 read at offset 20"},
        {"other APP13 too large", [&](auto& p, auto&) { p.photoshopImageResourceByID(1060)->setData(text(huge)); },
         target,
         "segment FFED read at offset 57 could not be written: its data is larger than the 65533 bytes"},
        {"source gone", [](auto&, auto& source) { fs::remove(source); }, target, "could not be read"},
        {"source shorter", [](auto&, auto& source) { fs::resize_file(source, 30); }, target, "has become shorter"},
        {"no such folder", [](auto&, auto&) {}, Folder / "missing" / "target.jpg", "cannot create a temporary file"},
    };
    for (const auto& c : cases) {
        const auto source = test::writeStreamTestFile("refused.jpg", picture);
        test::writeStreamTestFile("target.jpg", text("old"));
        const auto parser = parsedFile(source);
        c.change(*parser, source);
        Error error;
        EXPECT_FALSE(rewrite(*parser, c.target, &error)) << c.label;
        EXPECT_EQ(error.domain, GeneralErrorDomain) << c.label;
        EXPECT_EQ(error.code, -1) << c.label;
        EXPECT_NE(error.localizedDescription.find(c.reason), std::string::npos) << error.localizedDescription;
        EXPECT_EQ(contents(target), text("old")) << c.label;
        for (const auto& entry : fs::directory_iterator(Folder))
            EXPECT_NE(entry.path().filename().string().front(), '.') << c.label << ": " << entry.path();
    }
}

TEST(QMMetadataParser_JPG, RewriteKeepsThePermissionsOfTheTarget)
{
    const auto parser = parsedFile(test::writeStreamTestFile("modes.jpg", jpeg(Exif)));
    const auto existing = test::writeStreamTestFile("existing.jpg", text("old"));
    fs::permissions(existing, fs::perms(0604));
    const mode_t previous = ::umask(077);
    EXPECT_TRUE(rewrite(*parser, existing));
    EXPECT_TRUE(rewrite(*parser, Folder / "new.jpg"));
    ::umask(previous);
    EXPECT_EQ(fs::status(existing).permissions(), fs::perms(0604));
    EXPECT_EQ(fs::status(Folder / "new.jpg").permissions(), fs::perms(0600));
    EXPECT_EQ(contents(existing), jpeg(Exif));
}

TEST(QMMetadataParser_JPG, DumpWritesOneFilePerSegment)
{
    const Bytes photoshop = app13(resource(1028, IIM));
    const auto parser = parsed(jpeg(photoshop));
    parser->dumpJpegSegments(Folder / "picture.jpg", false, true);
    EXPECT_EQ(contents(Folder / "picture_SEG#00_FFE0.bin"), JFIF);
    EXPECT_EQ(contents(Folder / "picture_SEG#01_FFED.bin"), photoshop);
    EXPECT_FALSE(fs::exists(Folder / "picture_SEG#02_FFDB.bin")) << "APP segments only";
}

TEST(QMMetadataParser_JPG, ReadsRealFiles)
{
    SKIP_WITHOUT_SAMPLE_FILES();
    const auto iptc = std::dynamic_pointer_cast<QMMetadataParser_JPG>(
        QMMetadataParser::MetadataParserForPath(qm::test::sampleFile("IPTC.jpg"), true));
    ASSERT_TRUE(iptc);
    const PlistValue structure = iptc->structureSummary();
    const PlistArray& summary = *structure.array();
    ASSERT_EQ(summary.size(), 8u) << "seven segments and the image data's offset";
    EXPECT_EQ(summary[1], PlistValue(PlistDictionary{{"marker", 0xFFED}, {"offset", 20}, {"length", 9564}}));
    EXPECT_EQ(summary[7], PlistValue(PlistDictionary{{"imageDataOffset", 9846}}));
    ASSERT_TRUE(iptc->IPTCRecords());
    EXPECT_EQ(iptc->IPTCRecords()->size(), 24u);
    EXPECT_EQ(iptc->IPTCRecordByRecordType(2, 120)->dataAsFormattedString(), "A witty caption");
    EXPECT_EQ(iptc->repeatedIPTCRecordByRecordType(2, 25)->dataAsFormattedString(), "ExifTool, Test, IPTC");
    EXPECT_FALSE(iptc->XMP()) << "resource 1002 holds print settings here, not a packet";

    const auto xmp = std::dynamic_pointer_cast<QMMetadataParser_JPG>(
        QMMetadataParser::MetadataParserForPath(qm::test::sampleFile("XMP.jpg"), true));
    ASSERT_TRUE(xmp);
    EXPECT_EQ(xmp->XMPSegment()->originalSegmentOffset(), 872u);
    EXPECT_NE(xmp->XMP().value_or("").find("<x:xmpmeta"), std::string::npos) << "its packet is UTF-16";
    EXPECT_FALSE(xmp->IPTCRecords());
    const auto exif = std::dynamic_pointer_cast<cJPEGSegment_APP1>(xmp->JPEGSegmentByMarker(0xFFE1));
    EXPECT_EQ(exif->TIFFparser()->IFDEntryByTag(271)->parsedObjects(), PlistArray{"FUJIFILM"});
    EXPECT_TRUE(rewrite(*xmp, Folder / "XMP copy.jpg"));
    EXPECT_EQ(contents(Folder / "XMP copy.jpg"), contents(qm::test::sampleFile("XMP.jpg")));
}
