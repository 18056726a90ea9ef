#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "foundation/Error.h"
#include "foundation/PlistValue.h"

namespace qm {

// Decoded pixels: 4 bytes a pixel (red, green, blue, alpha), rows top to bottom, no padding.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    bool operator==(const Bitmap&) const = default;
};

// The first image of an image file.
class ImageSource {
public:
    virtual ~ImageSource() = default;
    // The first image's size in pixels.
    virtual std::optional<std::pair<int, int>> pixelSize() = 0;
    // The first image decoded; absent when it cannot be decoded.
    virtual std::optional<Bitmap> image() = 0;
    // The first image's metadata as a dictionary (the IPTC under "{IPTC}"); absent when unreadable.
    virtual std::optional<PlistDictionary> properties() = 0;
};

// The platform's image library: reading images, scaling, and writing a copy with new IPTC.
class ImageLibrary {
public:
    virtual ~ImageLibrary() = default;

    // Null when the file cannot be opened as an image.
    virtual std::unique_ptr<ImageSource> openImageSource(const std::filesystem::path& path) = 0;
    // Decodes an image held in memory (a JPEG thumbnail, say).
    virtual std::optional<Bitmap> decodeImage(std::span<const std::uint8_t> bytes) = 0;
    virtual std::optional<Bitmap> scaleImage(const Bitmap& image, int width, int height) = 0;
    // Writes a copy of `source` to `target` whose IPTC is replaced by the dictionary (keys as
    // cIPTCRecord::IPTCAppRecordDataSetNumberToCoreGraphicsKeyDictionary names them).
    virtual bool writeCopyWithIPTC(const std::filesystem::path& source, const std::filesystem::path& target,
                                   const PlistDictionary& iptc, double quality, Error* error) = 0;

    // The implementation the process installed (one that can do nothing until then).
    static std::shared_ptr<ImageLibrary> current();
    static void install(std::shared_ptr<ImageLibrary> library);
};

} // namespace qm
