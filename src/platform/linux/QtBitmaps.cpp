#include "platform/linux/QtBitmaps.h"

#include <algorithm>
#include <cstdint>

namespace qm {

namespace {

std::size_t byteCount(std::int64_t width, std::int64_t height)
{
    return static_cast<std::size_t>(width * height * 4);
}

} // namespace

std::optional<Bitmap> QtBitmaps::read(QImageReader& reader)
{
    reader.setAutoTransform(false);
    return fromImage(reader.read());
}

std::optional<Bitmap> QtBitmaps::fromImage(const QImage& image)
{
    if (image.isNull())
        return std::nullopt;
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    if (rgba.isNull())
        return std::nullopt;
    Bitmap bitmap{rgba.width(), rgba.height(), std::vector<std::uint8_t>(byteCount(rgba.width(), rgba.height()))};
    const auto rowBytes = static_cast<std::size_t>(rgba.width()) * 4;
    auto destination = bitmap.pixels.begin();
    for (int row = 0; row < rgba.height(); ++row)
        destination = std::copy_n(rgba.constScanLine(row), rowBytes, destination);
    return bitmap;
}

QImage QtBitmaps::view(const Bitmap& bitmap)
{
    if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.pixels.size() != byteCount(bitmap.width, bitmap.height))
        return {};
    return QImage(bitmap.pixels.data(), bitmap.width, bitmap.height, static_cast<qsizetype>(bitmap.width) * 4,
                  QImage::Format_RGBA8888);
}

} // namespace qm
