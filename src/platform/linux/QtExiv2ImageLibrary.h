#pragma once

#include "platform/ImageLibrary.h"

namespace qm {

// The image library on Linux: Qt's image readers decode and scale, Exiv2 reads the metadata and
// writes copies with new IPTC. Safe to use from several threads at once.
class QtExiv2ImageLibrary : public ImageLibrary {
public:
    std::unique_ptr<ImageSource> openImageSource(const std::filesystem::path& path) override;
    std::optional<Bitmap> decodeImage(std::span<const std::uint8_t> bytes) override;
    std::optional<Bitmap> scaleImage(const Bitmap& image, int width, int height) override;
    // Only the metadata of the copy changes: the file's bytes are copied, Exiv2 rewrites its IPTC
    // (keeping Exif and XMP) and the pixels are never encoded again, so `quality` is unused. The
    // copy replaces `target` in one step (which may be `source`): a temporary file beside it,
    // synced, is renamed over it.
    bool writeCopyWithIPTC(const std::filesystem::path& source, const std::filesystem::path& target,
                           const PlistDictionary& iptc, double quality, Error* error) override;
};

} // namespace qm
