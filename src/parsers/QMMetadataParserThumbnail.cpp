// Thumbnails of a parser's file.
#include "parsers/QMMetadataParser.h"

#include <cmath>

namespace qm {

namespace {

constexpr int ThumbnailWidth = 70;
constexpr int ThumbnailHeight = 50;

} // namespace

std::pair<int, int> QMMetadataParser::thumbnailAdjustedSizeForPreview(std::pair<int, int> imageSize,
                                                                      std::pair<int, int> desiredSize, int resizeMode)
{
    const double width = imageSize.first, height = imageSize.second;
    if (width <= 0 || height <= 0)
        return {0, 0};
    const double widthScale = desiredSize.first / width;
    const double heightScale = desiredSize.second / height;
    double scale = 0;
    switch (resizeMode) {
    case QMResizeToFit: scale = heightScale > widthScale ? widthScale : heightScale; break;
    case QMResizeToHeight: scale = heightScale; break;
    case QMResizeToWidth: scale = widthScale; break;
    default: scale = 0;
    }
    return {static_cast<int>(std::trunc(width * scale)), static_cast<int>(std::trunc(height * scale))};
}

std::optional<Bitmap> QMMetadataParser::thumbnailWithSize(int width, int height, int resizeMode) const
{
    auto library = ImageLibrary::current();
    auto source = library->openImageSource(path());
    if (!source)
        return std::nullopt;
    auto size = source->pixelSize();
    if (!size)
        return std::nullopt;
    const auto [targetWidth, targetHeight] = thumbnailAdjustedSizeForPreview(*size, {width, height}, resizeMode);
    if (targetWidth <= 0 || targetHeight <= 0)
        return std::nullopt;
    auto image = source->image();
    return image ? library->scaleImage(*image, targetWidth, targetHeight) : std::nullopt;
}

std::optional<Bitmap> QMMetadataParser::thumbnail()
{
    if (auto cached = cachedThumbnail())
        return cached;
    auto made = thumbnailWithSize(ThumbnailWidth, ThumbnailHeight, QMResizeToFit);
    if (made)
        setCachedThumbnail(made);
    return made;
}

std::optional<Bitmap> QMMetadataParser::cachedThumbnail() const
{
    std::lock_guard lock(mThumbnailMutex);
    return mThumbnail;
}

void QMMetadataParser::setCachedThumbnail(std::optional<Bitmap> thumbnail)
{
    std::lock_guard lock(mThumbnailMutex);
    mThumbnail = std::move(thumbnail);
}

} // namespace qm
