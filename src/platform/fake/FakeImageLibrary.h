#pragma once

#include <map>
#include <vector>

#include "platform/ImageLibrary.h"

namespace qm {

// An image library over images that tests declare; it records every copy it is asked to write.
class FakeImageLibrary : public ImageLibrary {
public:
    struct Image {
        Bitmap bitmap;
        PlistDictionary properties;
    };
    struct WrittenCopy {
        std::filesystem::path source;
        std::filesystem::path target;
        PlistDictionary iptc;
        double quality;
    };

    void addImage(const std::filesystem::path& path, Image image) { mImages[path] = std::move(image); }
    // Bytes that decodeImage() turns into the bitmap.
    void addEncodedImage(std::vector<std::uint8_t> bytes, Bitmap bitmap) { mEncoded.emplace_back(std::move(bytes), std::move(bitmap)); }
    void failWrites(bool fail) { mFailWrites = fail; }
    const std::vector<WrittenCopy>& writtenCopies() const { return mWritten; }

    std::unique_ptr<ImageSource> openImageSource(const std::filesystem::path& path) override;
    std::optional<Bitmap> decodeImage(std::span<const std::uint8_t> bytes) override;
    // Nearest-neighbour scaling.
    std::optional<Bitmap> scaleImage(const Bitmap& image, int width, int height) override;
    bool writeCopyWithIPTC(const std::filesystem::path& source, const std::filesystem::path& target,
                           const PlistDictionary& iptc, double quality, Error* error) override;

private:
    std::map<std::filesystem::path, Image> mImages;
    std::vector<std::pair<std::vector<std::uint8_t>, Bitmap>> mEncoded;
    std::vector<WrittenCopy> mWritten;
    bool mFailWrites = false;
};

} // namespace qm
