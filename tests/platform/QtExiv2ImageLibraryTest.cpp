#include "foundation/Log.h"
#include "foundation/IptcPropertyKeys.h"
#include "platform/linux/QtExiv2ImageLibrary.h"
#include "support/Concurrency.h"
#include "support/PhotoshopBytes.h"
#include "support/SampleFiles.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include <exiv2/exiv2.hpp>

#include <atomic>
#include <fstream>
#include <iterator>
#include <set>
#include <unistd.h>

namespace qm {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using test::operator+;

constexpr const char* CaptionKey = "kCGImagePropertyIPTCCaptionAbstract";
constexpr const char* KeywordsKey = "kCGImagePropertyIPTCKeywords";

fs::path freshFolder(const std::string& name)
{
    const auto folder =
        fs::temp_directory_path() / ("quillmark-tests-" + std::to_string(::getpid())) / "platform" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// 8 × 4 pixels: red on the left half, blue on the right.
fs::path savePicture(const fs::path& path, const char* format)
{
    QImage image(8, 4, QImage::Format_RGBA8888);
    image.fill(Qt::blue);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.setPixelColor(x, y, Qt::red);
    EXPECT_TRUE(image.save(QString::fromStdString(path.string()), format)) << path;
    return path;
}

Bytes bytesOf(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

std::set<fs::path> listing(const fs::path& folder)
{
    std::set<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename());
    return names;
}

bool near(const Bitmap& bitmap, int x, int y, QColor colour)
{
    const auto* pixel = &bitmap.pixels[(static_cast<std::size_t>(y) * bitmap.width + x) * 4];
    return std::abs(pixel[0] - colour.red()) < 48 && std::abs(pixel[1] - colour.green()) < 48 &&
           std::abs(pixel[2] - colour.blue()) < 48 && pixel[3] == 255;
}

PlistDictionary iptcOf(ImageLibrary& library, const fs::path& path)
{
    auto source = library.openImageSource(path);
    const auto properties = source ? source->properties() : std::nullopt;
    const auto iptc = properties ? properties->find("{IPTC}") : PlistDictionary::const_iterator{};
    const bool found = properties && iptc != properties->end() && iptc->second.dictionary();
    return found ? *iptc->second.dictionary() : PlistDictionary{};
}

// The member `key` of the dictionary `part` of the properties; null when there is none.
PlistValue member(const PlistDictionary& properties, const char* part, const char* key)
{
    const auto entry = properties.find(part);
    const PlistValue* value = entry == properties.end() ? nullptr : entry->second.find(key);
    return value ? *value : PlistValue();
}

PlistArray strings(std::initializer_list<const char*> texts)
{
    return PlistArray(texts.begin(), texts.end());
}

TEST(QtExiv2ImageLibrary, ReadsSizeAndPixelsWhateverTheFileIsNamed)
{
    struct Case { const char* name; const char* file; const char* format; };
    const Case cases[] = {
        {"jpeg", "picture.jpg", "JPEG"}, {"tiff", "picture.tif", "TIFF"}, {"jpeg named .tif", "jpeg.tif", "JPEG"}};
    const auto folder = freshFolder("read");
    QtExiv2ImageLibrary library;
    for (const Case& c : cases) {
        const auto path = savePicture(folder / c.file, c.format);
        auto source = library.openImageSource(path);
        ASSERT_TRUE(source) << c.name;
        EXPECT_EQ(source->pixelSize(), std::pair(8, 4)) << c.name;
        const auto image = source->image();
        ASSERT_TRUE(image && image->width == 8 && image->height == 4 && image->pixels.size() == 128) << c.name;
        EXPECT_TRUE(near(*image, 0, 0, Qt::red) && near(*image, 7, 3, Qt::blue)) << c.name;
        EXPECT_EQ(library.decodeImage(bytesOf(path)), image) << c.name;
        const auto properties = source->properties();
        ASSERT_TRUE(properties) << c.name;
        EXPECT_EQ(properties->at("PixelWidth"), PlistValue(8)) << c.name;
        EXPECT_EQ(properties->at("PixelHeight"), PlistValue(4)) << c.name;
    }
    EXPECT_EQ(library.decodeImage(Bytes{0xFF, 0xD8, 0xFF}), std::nullopt);
}

TEST(QtExiv2ImageLibrary, ScalesConsistentBitmapsOnly)
{
    Bitmap green{4, 2, {}};
    for (int pixel = 0; pixel < 8; ++pixel)
        green.pixels.insert(green.pixels.end(), {10, 200, 30, 255});
    QtExiv2ImageLibrary library;
    const auto scaled = library.scaleImage(green, 9, 3);
    ASSERT_TRUE(scaled && scaled->width == 9 && scaled->height == 3 && scaled->pixels.size() == 108u);
    EXPECT_TRUE(near(*scaled, 0, 0, QColor(10, 200, 30)) && near(*scaled, 8, 2, QColor(10, 200, 30)));

    struct Case { const char* name; Bitmap image; int width; int height; };
    const Case refused[] = {
        {"pixels missing", Bitmap{4, 2, Bytes(31)}, 2, 2},
        {"empty image", Bitmap{}, 2, 2},
        {"zero width", green, 0, 2},
        {"negative height", green, 2, -1},
    };
    for (const Case& c : refused)
        EXPECT_EQ(library.scaleImage(c.image, c.width, c.height), std::nullopt) << c.name;
}

// Gives the file Exif and a caption in ISO Latin 1 without a character set marker.
void addOldMetadata(const fs::path& path)
{
    auto image = Exiv2::ImageFactory::open(path.string());
    image->readMetadata();
    image->exifData()["Exif.Image.Make"] = "QuillCam";
    image->iptcData()["Iptc.Application2.RecordVersion"] = uint16_t(4);
    image->iptcData()["Iptc.Application2.Caption"] = std::string("Z\xFCrich");
    image->writeMetadata();
}

TEST(QtExiv2ImageLibrary, WritesACopyWithNewIPTCKeepingExifAndPixels)
{
    struct Case { const char* name; const char* format; const char* source; const char* target; };
    const Case cases[] = {
        {"jpeg copy", "JPEG", "picture.jpg", "copy.jpg"},
        {"tiff copy", "TIFF", "picture.tif", "copy.tif"},
        {"jpeg in place", "JPEG", "picture.jpg", "picture.jpg"},
    };
    const std::string caption = "Grüße aus Zürich – «Ålesund»";
    const PlistDictionary iptc{{CaptionKey, caption}, {KeywordsKey, strings({"Hafen", "Nacht"})}};
    QtExiv2ImageLibrary library;
    for (const Case& c : cases) {
        const auto folder = freshFolder("write");
        const auto source = savePicture(folder / c.source, c.format);
        addOldMetadata(source);
        EXPECT_EQ(iptcOf(library, source), (PlistDictionary{{CaptionKey, "Zürich"}})) << c.name;
        const auto pixels = library.openImageSource(source)->image();

        Error error;
        ASSERT_TRUE(library.writeCopyWithIPTC(source, folder / c.target, iptc, 0.5, &error))
            << c.name << ": " << error.localizedDescription;
        EXPECT_EQ(iptcOf(library, folder / c.target), iptc) << c.name;
        EXPECT_EQ(library.openImageSource(folder / c.target)->image(), pixels) << c.name << ": pixels encoded again";
        EXPECT_EQ(listing(folder), (std::set<fs::path>{c.source, c.target})) << c.name;

        auto written = Exiv2::ImageFactory::open((folder / c.target).string());
        written->readMetadata();
        const auto& data = written->iptcData();
        const auto marker = data.findKey(Exiv2::IptcKey("Iptc.Envelope.CharacterSet"));
        EXPECT_TRUE(marker != data.end() && marker->toString() == "\x1B%G") << c.name;
        EXPECT_NE(data.findKey(Exiv2::IptcKey("Iptc.Application2.RecordVersion")), data.end()) << c.name;
        EXPECT_EQ(written->exifData()["Exif.Image.Make"].toString(), "QuillCam") << c.name;
    }
}

TEST(QtExiv2ImageLibrary, FailedWritesReportAnErrorAndLeaveTheFolderAsItWas)
{
    const auto folder = freshFolder("failures");
    savePicture(folder / "picture.jpg", "JPEG");
    savePicture(folder / "picture.bmp", "BMP");
    std::ofstream(folder / "notes.txt") << "not a picture";
    std::ofstream(folder / "target.jpg") << "the old target";
    const Bytes oldTarget = bytesOf(folder / "target.jpg");
    struct Case { const char* name; fs::path source; fs::path target; };
    const Case cases[] = {
        {"target folder missing", folder / "picture.jpg", folder / "missing" / "out.jpg"},
        {"source missing", folder / "absent.jpg", folder / "target.jpg"},
        {"source not an image", folder / "notes.txt", folder / "target.jpg"},
        {"format without IPTC writing", folder / "picture.bmp", folder / "target.jpg"},
    };
    const auto before = listing(folder);
    QtExiv2ImageLibrary library;
    for (const Case& c : cases) {
        LogCapture log;
        Error error;
        EXPECT_FALSE(library.writeCopyWithIPTC(c.source, c.target, {{CaptionKey, "new"}}, 1.0, &error)) << c.name;
        EXPECT_EQ(error.domain, GeneralErrorDomain) << c.name;
        EXPECT_EQ(error.code, -1) << c.name;
        EXPECT_NE(error.localizedDescription.find(c.target.filename().string()), std::string::npos) << c.name;
        EXPECT_FALSE(log.lines().empty()) << c.name;
        EXPECT_EQ(listing(folder), before) << c.name;
        EXPECT_EQ(bytesOf(folder / "target.jpg"), oldTarget) << c.name;
    }
}

void writeBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(QtExiv2ImageLibrary, OpensImagesOnly)
{
    const auto folder = freshFolder("open");
    std::ofstream(folder / "notes.jpg") << "not a picture";
    std::ofstream(folder / "document.pdf") << "%PDF-1.3\n1 0 obj\n<<>>\nendobj\ntrailer\n<<>>\n%%EOF\n";
    std::ofstream(folder / "drawing.eps") << "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 8 8\n%%EOF\n";
    QtExiv2ImageLibrary library;
    for (const char* name : {"notes.jpg", "absent.jpg", "document.pdf", "drawing.eps"})
        EXPECT_EQ(library.openImageSource(folder / name), nullptr) << name;

    // Pixels that Qt cannot decode still have a size and metadata.
    const Bytes caption = test::dataset(2, 120, "A white square");
    const Bytes whitePixels = Bytes{0, 0} + Bytes(3 * 8 * 8, 0xFF); // uncompressed
    writeBytes(folder / "square.psd", test::photoshopDocument(test::photoshopBlock(1028, caption)) + whitePixels);
    auto photoshop = library.openImageSource(folder / "square.psd");
    ASSERT_TRUE(photoshop);
    EXPECT_EQ(photoshop->pixelSize(), std::pair(8, 8));
    EXPECT_EQ(photoshop->image(), std::nullopt);
    EXPECT_EQ(iptcOf(library, folder / "square.psd")[CaptionKey], PlistValue("A white square"));
}

TEST(QtExiv2ImageLibrary, AFileRemovedAfterOpeningGivesNoPixelsNorMetadata)
{
    const auto folder = freshFolder("removed");
    const auto path = savePicture(folder / "picture.jpg", "JPEG");
    addOldMetadata(path);
    QtExiv2ImageLibrary library;
    auto source = library.openImageSource(path);
    ASSERT_TRUE(source);
    fs::remove(path);
    LogCapture log;
    EXPECT_EQ(source->image(), std::nullopt);
    const auto properties = source->properties();
    EXPECT_FALSE(properties && properties->contains("{IPTC}"));
    EXPECT_FALSE(log.lines().empty());
}

TEST(QtExiv2ImageLibrary, ReadsTheMetadataOfRealFiles)
{
    SKIP_WITHOUT_SAMPLE_FILES();
    QtExiv2ImageLibrary library;
    EXPECT_EQ(iptcOf(library, test::sampleFile("Photoshop.psd"))[CaptionKey],
              PlistValue("This is a teeny weeny white square"));

    const PlistDictionary expected{
        {"kCGImagePropertyIPTCObjectName", "Test IPTC picture"},
        {"kCGImagePropertyIPTCUrgency", "8"},
        {"kCGImagePropertyIPTCCategory", "1"},
        {"kCGImagePropertyIPTCSupplementalCategory", strings({"amazing", "image", "utilities"})},
        {KeywordsKey, strings({"ExifTool", "Test", "IPTC"})},
        {"kCGImagePropertyIPTCSpecialInstructions", "What instructions"},
        {"kCGImagePropertyIPTCDateCreated", "20040226"},
        {"kCGImagePropertyIPTCByline", strings({"Phil Harvey"})},
        {"kCGImagePropertyIPTCBylineTitle", strings({"My Position"})},
        {"kCGImagePropertyIPTCCity", "Kingston"},
        {"kCGImagePropertyIPTCProvinceState", "Ont"},
        {"kCGImagePropertyIPTCCountryPrimaryLocationName", "Canada"},
        {"kCGImagePropertyIPTCOriginalTransmissionReference", "What is a transmission reference"},
        {"kCGImagePropertyIPTCHeadline", "No headline"},
        {"kCGImagePropertyIPTCCredit", "My Credit"},
        {"kCGImagePropertyIPTCSource", "I'm the source"},
        {"kCGImagePropertyIPTCCopyrightNotice", "Copyright 2004 Phil Harvey"},
        {CaptionKey, "A witty caption"},
        {"kCGImagePropertyIPTCWriterEditor", strings({"I wrote it"})},
    };
    EXPECT_EQ(iptcOf(library, test::sampleFile("IPTC.jpg")), expected);

    const auto tiff = iptcOf(library, test::sampleFile("ExifTool.tif"));
    EXPECT_EQ(tiff.at(CaptionKey), PlistValue("The picture caption"));
    EXPECT_EQ(tiff.at(KeywordsKey), PlistValue(strings({"exiftool", "test", "picture"})));
    EXPECT_EQ(library.openImageSource(test::sampleFile("ExifTool.tif"))->pixelSize(), std::pair(160, 120));

    const auto xmp = library.openImageSource(test::sampleFile("XMP.jpg"))->properties();
    ASSERT_TRUE(xmp);
    EXPECT_FALSE(xmp->contains("{IPTC}"));
    EXPECT_EQ(member(*xmp, "{TIFF}", "Make"), PlistValue("FUJIFILM"));
    EXPECT_EQ(member(*xmp, "{Exif}", "DateTimeOriginal"), PlistValue("2001:05:19 18:36:41"));
    EXPECT_EQ(member(*xmp, "{XMP}", "photoshop:City"), PlistValue("Kingston"));
}

TEST(QtExiv2ImageLibrary, ReadsTheSameOnSeveralThreadsAtOnce)
{
    const auto path = savePicture(freshFolder("threads") / "picture.jpg", "JPEG");
    addOldMetadata(path);
    QtExiv2ImageLibrary library;
    using Reading = std::pair<std::optional<PlistDictionary>, std::optional<Bitmap>>;
    const auto read = [&library, &path] {
        auto source = library.openImageSource(path);
        return source ? Reading(source->properties(), source->image()) : Reading();
    };
    const auto expected = read();
    ASSERT_TRUE(expected.first && expected.first->contains("{IPTC}") && expected.second);
    std::atomic<int> differing = 0;
    test::runOnThreads(4, [&] {
        for (int round = 0; round < 20; ++round)
            differing += read() != expected;
    });
    EXPECT_EQ(differing, 0);
}

} // namespace
} // namespace qm
