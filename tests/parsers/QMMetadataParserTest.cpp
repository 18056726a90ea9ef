#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/file.h>
#include <unistd.h>

#include "metadata/simpleDataStream.h"
#include "parsers/QMMetadataParser.h"
#include "platform/fake/FakeImageLibrary.h"

using namespace qm;
namespace fs = std::filesystem;

namespace {

// A format reader that holds whatever records the test gives it.
class StubParser : public QMMetadataParser {
public:
    using QMMetadataParser::QMMetadataParser;
    const char* className() const override { return "StubParser"; }
    bool parseImageStream(simpleStream&, Error*) override { return ++streamsParsed > 0; }
    std::optional<IPTCRecordArray> IPTCRecords() const override { return records; }
    void setIPTCRecords(std::optional<IPTCRecordArray> r) override { records = std::move(r); }
    std::optional<std::string> XMP() const override { return xmp; }
    void setXMP(std::optional<std::string> packet) override { xmp = std::move(packet); }
    bool writesBypassingCoreGraphics() const override { return bypass; }
    bool updateFileToURLBypassingCoreGraphics(const fs::path&, Error*) override { return ++bypassWrites > 0; }

    std::optional<IPTCRecordArray> records;
    std::optional<std::string> xmp;
    bool bypass = false;
    int streamsParsed = 0;
    int bypassWrites = 0;
};

fs::path writeFile(const std::string& name, const std::string& bytes)
{
    const fs::path path = fs::temp_directory_path() / ("quillmark-parser-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::shared_ptr<cIPTCRecord> keyword(const std::string& text, StringEncoding encoding = 30)
{
    auto record = std::make_shared<cIPTCRecord>(2, 25, cIPTCRecord::Bytes(text.begin(), text.end()));
    record->setTextEncoding(encoding);
    return record;
}

} // namespace

TEST(QMMetadataParser, TellsTheTypeFromTheFirstBytes)
{
    const struct {
        const char* name;
        std::string bytes;
        QMFileType expected;
    } cases[] = {
        {"jpeg", "\xFF\xD8\xFF\xE0", QMFileTypeJPEG},
        {"pdf named jpg", "%PDF-1.7\n", QMFileTypePDF},
        {"photoshop v1", std::string("8BPS\0\1", 6), QMFileTypePhotoshop},
        {"photoshop v2", std::string("8BPS\0\2", 6), QMFileTypeUnknown},
        {"tiff little-endian", std::string("II\x2A\0", 4), QMFileTypeTIFF},
        {"tiff big-endian", std::string("MM\0\x2A", 4), QMFileTypeTIFF},
        {"MM with 42 little-endian", std::string("MM\x2A\0", 4), QMFileTypeUnknown},
        {"eps with preview", "\xC5\xD0\xD3\xC6rest", QMFileTypeEPS},
        {"plain-text eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\n", QMFileTypeEPS},
        {"plain-text eps with CR line ends", "%!PS-Adobe-2.0 EPSF-1.2\r%%Creator: x\r", QMFileTypeEPS},
        {"plain-text eps, header line only", "%!PS-Adobe-3.0 EPSF-3.0", QMFileTypeEPS},
        {"plain PostScript", "%!PS-Adobe-3.0\n%%Title: EPSF\n", QMFileTypeUnknown},
        {"EPSF without the PostScript header", "%!PS EPSF-3.0\n", QMFileTypeUnknown},
        {"header not at the start", "\n%!PS-Adobe-3.0 EPSF-3.0\n", QMFileTypeUnknown},
        {"one byte", "\xFF", QMFileTypeUnknown},
        {"empty", "", QMFileTypeUnknown},
    };
    for (const auto& c : cases) {
        const fs::path path = writeFile("sniff.jpg", c.bytes);
        EXPECT_EQ(QMMetadataParser::guessFileTypeFromContent(path), c.expected) << c.name;
        fs::remove(path);
    }
    EXPECT_EQ(QMMetadataParser::guessFileTypeFromContent("/no/such/file"), QMFileTypeUnknown);
}

TEST(QMMetadataParser, ContentChecksLeaveTheStreamWhereItWas)
{
    simpleDataStream stream(std::make_shared<const std::vector<std::uint8_t>>(
        std::vector<std::uint8_t>{'x', 'x', 'I', 'I', 0x2A, 0x00, 0, 0, 0, 0, 0, 0}));
    stream.setStreamPosition(2);
    EXPECT_TRUE(QMMetadataParser::isTIFF(stream)) << "the TIFF check looks at the current position";
    EXPECT_FALSE(QMMetadataParser::isJPG(stream));
    EXPECT_FALSE(QMMetadataParser::isAI_or_PDF(stream));
    EXPECT_EQ(stream.streamPosition(), 2u);
}

TEST(QMMetadataParser, ThumbnailSizeFollowsTheResizeMode)
{
    const struct {
        int mode;
        std::pair<int, int> expected;
    } cases[] = {{QMResizeToFit, {70, 10}}, {QMResizeToHeight, {350, 50}}, {QMResizeToWidth, {70, 10}}, {3, {0, 0}}};
    for (const auto& c : cases)
        EXPECT_EQ(QMMetadataParser::thumbnailAdjustedSizeForPreview({700, 100}, {70, 50}, c.mode), c.expected)
            << "mode " << c.mode;
    EXPECT_EQ(QMMetadataParser::thumbnailAdjustedSizeForPreview({10, 10}, {70, 50}, QMResizeToFit), std::pair(50, 50))
        << "a small image is enlarged";
}

TEST(QMMetadataParser, ParsingABusyFileFailsButStillNotifies)
{
    const fs::path path = writeFile("busy.bin", "data");
    StubParser parser(path);
    std::vector<std::string> notifications;
    parser.addObserver("", [&](const std::string& key, KeyValueObservable::Change change) {
        notifications.push_back((change == KeyValueObservable::Change::Will ? "will " : "did ") + key);
    });

    const int holder = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(holder, LOCK_EX), 0);
    Error error;
    EXPECT_FALSE(parser.parseImage(&error));
    EXPECT_TRUE(parser.parsed());
    EXPECT_FALSE(parser.parseable());
    EXPECT_EQ(error.code, -1);
    EXPECT_NE(error.localizedDescription.find(path.filename().string()), std::string::npos);
    EXPECT_EQ(parser.streamsParsed, 0);
    const std::vector<std::string> expected{"will IPTCRecords", "did IPTCRecords", "will XMP", "did XMP"};
    EXPECT_EQ(notifications, expected);

    ::close(holder);
    EXPECT_TRUE(parser.parseImage(&error));
    EXPECT_TRUE(parser.parseable());
    EXPECT_EQ(parser.streamsParsed, 1);
    fs::remove(path);
}

TEST(QMMetadataParser, RecordQueriesAndEncodings)
{
    StubParser parser("/unused");
    parser.records = IPTCRecordArray{keyword("a"), keyword("b", 4), keyword("c", 12)};
    EXPECT_EQ(parser.repeatedIPTCRecordByCode(cIPTCCode(2, 25))->dataAsFormattedString(), "a, b, c");
    EXPECT_EQ(parser.repeatedIPTCRecordByCode(cIPTCCode(2, 25))->textEncoding(), 12u) << "the last record's encoding";
    EXPECT_EQ(parser.repeatedIPTCRecordByRecordType(2, 80)->data(), cIPTCRecord::Bytes{}) << "none: empty text";
    EXPECT_EQ(parser.IPTCRecordsByRecordType(2, 25).size(), 3u);
    EXPECT_EQ(parser.IPTCRecordByRecordType(2, 80), nullptr);

    const auto copies = parser.IPTCRecordArrayWithDefaultEncoding(5, {}, true);
    ASSERT_EQ(copies.size(), 3u);
    EXPECT_EQ(copies[2]->textEncoding(), 5u);
    EXPECT_NE(copies[2], (*parser.records)[2]) << "new records";
    EXPECT_EQ((*parser.records)[2]->textEncoding(), 12u) << "the parser's own records are untouched";

    parser.IPTCRecordsWithEncoding(9);
    EXPECT_EQ((*parser.records)[0]->textEncoding(), 9u) << "changed in place";
    parser.records.reset();
    EXPECT_FALSE(parser.IPTCRecordsWithEncoding(9));
}

TEST(QMMetadataParser, WriteBackGoesThroughTheImageLibraryUnlessTheFormatWritesItself)
{
    auto library = std::make_shared<FakeImageLibrary>();
    ImageLibrary::install(library);
    StubParser parser("/photo.tif");
    parser.records = IPTCRecordArray{std::make_shared<cIPTCRecord>(2, 120, cIPTCRecord::Bytes{'H', 'i'})};
    Error error;
    EXPECT_TRUE(parser.updateFileToURL("/out.tif", false, 0.8, &error));
    ASSERT_EQ(library->writtenCopies().size(), 1u);
    EXPECT_EQ(library->writtenCopies()[0].iptc.at("kCGImagePropertyIPTCCaptionAbstract"), PlistValue("Hi"));
    EXPECT_EQ(library->writtenCopies()[0].quality, 0.8);

    parser.bypass = true;
    EXPECT_TRUE(parser.updateFileToURL("/out.tif", false, 0.8, &error));
    EXPECT_EQ(parser.bypassWrites, 1);
    EXPECT_TRUE(parser.updateFileToURL("/out.tif", true, 0.8, &error));
    EXPECT_EQ(library->writtenCopies().size(), 2u) << "asked for the image library";

    library->failWrites(true);
    EXPECT_FALSE(parser.updateFileToURL("/out.tif", true, 0.8, &error)) << "a failed write is no success";
    ImageLibrary::install(nullptr);
}

TEST(QMMetadataParser, ThumbnailIsMadeOnceFromTheImageLibrary)
{
    auto library = std::make_shared<FakeImageLibrary>();
    ImageLibrary::install(library);
    StubParser parser("/wide.jpg");
    EXPECT_FALSE(parser.thumbnail()) << "no image yet: nothing cached";
    library->addImage("/wide.jpg", {Bitmap{700, 100, std::vector<std::uint8_t>(700 * 100 * 4, 7)}, {}});
    auto thumbnail = parser.thumbnail();
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(std::pair(thumbnail->width, thumbnail->height), std::pair(70, 10));
    EXPECT_FALSE(parser.thumbnailWithSize(70, 50, 3)) << "mode 3 scales to nothing";
    ImageLibrary::install(nullptr);
}
