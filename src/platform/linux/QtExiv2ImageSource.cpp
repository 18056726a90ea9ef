#include "platform/linux/QtExiv2ImageSource.h"

#include "foundation/Log.h"
#include "platform/linux/Exiv2Environment.h"
#include "platform/linux/Exiv2Properties.h"
#include "platform/linux/QtBitmaps.h"

#include <QFile>
#include <QImageReader>

#include <exiv2/exiv2.hpp>

namespace qm {

namespace {

using PixelSize = std::pair<int, int>;

std::unique_ptr<QImageReader> readerFor(const std::filesystem::path& path)
{
    auto reader = std::make_unique<QImageReader>(QFile::decodeName(path.c_str()));
    reader->setDecideFormatFromContent(true);
    return reader;
}

std::optional<PixelSize> validSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return std::nullopt;
    return PixelSize(width, height);
}

// Exiv2's image for the file with its metadata read; null when Exiv2 does not know the format.
std::unique_ptr<Exiv2::Image> exiv2Image(const std::filesystem::path& path)
{
    Exiv2Environment::prepare();
    if (Exiv2::ImageFactory::getType(path.string()) == Exiv2::ImageType::none)
        return nullptr;
    std::unique_ptr<Exiv2::Image> image(Exiv2::ImageFactory::open(path.string()).release());
    image->readMetadata();
    return image;
}

std::optional<PixelSize> exiv2PixelSize(const std::filesystem::path& path)
{
    try {
        if (auto image = exiv2Image(path))
            return validSize(image->pixelWidth(), image->pixelHeight());
    } catch (...) {
    }
    return std::nullopt;
}

} // namespace

std::unique_ptr<QtExiv2ImageSource> QtExiv2ImageSource::open(const std::filesystem::path& path)
{
    auto reader = readerFor(path);
    if (reader->canRead()) {
        const QSize size = reader->size();
        return std::unique_ptr<QtExiv2ImageSource>(
            new QtExiv2ImageSource(path, validSize(size.width(), size.height()), true));
    }
    if (auto size = exiv2PixelSize(path))
        return std::unique_ptr<QtExiv2ImageSource>(new QtExiv2ImageSource(path, size, false));
    return nullptr;
}

QtExiv2ImageSource::QtExiv2ImageSource(std::filesystem::path path, std::optional<PixelSize> size, bool decodable)
    : mPath(std::move(path)), mSize(size), mDecodable(decodable)
{
}

std::optional<PixelSize> QtExiv2ImageSource::pixelSize()
{
    if (!mSize)
        if (auto decoded = image())
            mSize = PixelSize(decoded->width, decoded->height);
    return mSize;
}

std::optional<Bitmap> QtExiv2ImageSource::image()
{
    if (!mDecodable)
        return std::nullopt;
    auto reader = readerFor(mPath);
    auto bitmap = QtBitmaps::read(*reader);
    if (!bitmap)
        Log::format("Could not decode the image %s: %s", mPath.c_str(), reader->errorString().toUtf8().constData());
    return bitmap;
}

std::optional<PlistDictionary> QtExiv2ImageSource::properties()
{
    const auto size = pixelSize();
    if (!size)
        return std::nullopt;
    PlistDictionary properties{{"PixelWidth", PlistValue(size->first)}, {"PixelHeight", PlistValue(size->second)}};
    addMetadata(properties);
    return properties;
}

void QtExiv2ImageSource::addMetadata(PlistDictionary& properties) const
{
    try {
        if (auto image = exiv2Image(mPath))
            Exiv2Properties::addTo(properties, *image);
    } catch (const std::exception& failure) {
        Log::format("Could not read the metadata of %s: %s", mPath.c_str(), Log::excerpt(failure.what()).c_str());
    } catch (...) {
        Log::format("Could not read the metadata of %s", mPath.c_str());
    }
}

} // namespace qm
