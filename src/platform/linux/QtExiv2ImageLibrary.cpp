#include "platform/linux/QtExiv2ImageLibrary.h"

#include "foundation/Log.h"
#include "platform/linux/Exiv2Environment.h"
#include "platform/linux/Exiv2IptcReplacement.h"
#include "platform/linux/QtBitmaps.h"
#include "platform/linux/QtExiv2ImageSource.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QSaveFile>

#include <exiv2/exiv2.hpp>

#include <stdexcept>

namespace qm {

namespace {

QString qtPath(const std::filesystem::path& path)
{
    return QFile::decodeName(path.c_str());
}

QByteArray readFile(const std::filesystem::path& path)
{
    QFile file(qtPath(path));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("\"" + path.string() + "\" cannot be read: " + file.errorString().toStdString());
    return file.readAll();
}

bool isKnownImage(const Exiv2::byte* data, long size)
{
    try {
        return Exiv2::ImageFactory::getType(data, size) != Exiv2::ImageType::none;
    } catch (...) {
        return false; // too short for the format checks to read
    }
}

// The bytes of the image file at `path` with their IPTC replaced.
QByteArray withIPTC(const std::filesystem::path& path, const PlistDictionary& iptc)
{
    Exiv2Environment::prepare();
    const QByteArray bytes = readFile(path);
    const auto* data = reinterpret_cast<const Exiv2::byte*>(bytes.constData());
    if (!isKnownImage(data, bytes.size()))
        throw std::runtime_error("\"" + path.string() + "\" is not an image file with metadata");
    auto image = Exiv2::ImageFactory::open(data, bytes.size());
    image->readMetadata();
    Exiv2IptcReplacement::apply(image->iptcData(), iptc);
    image->writeXmpFromPacket(true);
    image->writeMetadata();
    auto& io = image->io();
    io.open();
    const Exiv2::DataBuf written = io.read(static_cast<long>(io.size()));
    io.close();
    return QByteArray(reinterpret_cast<const char*>(written.pData_), written.size_);
}

void replaceFile(const std::filesystem::path& target, const QByteArray& bytes)
{
    QSaveFile file(qtPath(target));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(file.errorString().toStdString());
}

void reportFailure(const std::filesystem::path& target, const std::string& reason, Error* error)
{
    Log::format("Could not write the image %s: %s", target.c_str(), reason.c_str());
    if (error)
        *error = Error{GeneralErrorDomain, -1,
                       "The image file \"" + target.filename().string() + "\" could not be written: " + reason, ""};
}

} // namespace

std::unique_ptr<ImageSource> QtExiv2ImageLibrary::openImageSource(const std::filesystem::path& path)
{
    return QtExiv2ImageSource::open(path);
}

std::optional<Bitmap> QtExiv2ImageLibrary::decodeImage(std::span<const std::uint8_t> bytes)
{
    QByteArray data =
        QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    return QtBitmaps::read(reader);
}

std::optional<Bitmap> QtExiv2ImageLibrary::scaleImage(const Bitmap& image, int width, int height)
{
    const QImage view = QtBitmaps::view(image);
    if (view.isNull() || width <= 0 || height <= 0)
        return std::nullopt;
    return QtBitmaps::fromImage(view.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

bool QtExiv2ImageLibrary::writeCopyWithIPTC(const std::filesystem::path& source, const std::filesystem::path& target,
                                            const PlistDictionary& iptc, double, Error* error)
{
    try {
        replaceFile(target, withIPTC(source, iptc));
        return true;
    } catch (const std::exception& failure) {
        reportFailure(target, failure.what(), error);
    } catch (...) {
        reportFailure(target, "unexpected failure", error);
    }
    return false;
}

} // namespace qm
