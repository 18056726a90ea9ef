#include "platform/fake/FakeImageLibrary.h"

#include <algorithm>

namespace qm {

namespace {

class FakeImageSource : public ImageSource {
public:
    explicit FakeImageSource(FakeImageLibrary::Image image) : mImage(std::move(image)) {}
    std::optional<std::pair<int, int>> pixelSize() override { return std::pair(mImage.bitmap.width, mImage.bitmap.height); }
    std::optional<Bitmap> image() override { return mImage.bitmap; }
    std::optional<PlistDictionary> properties() override { return mImage.properties; }

private:
    FakeImageLibrary::Image mImage;
};

} // namespace

std::unique_ptr<ImageSource> FakeImageLibrary::openImageSource(const std::filesystem::path& path)
{
    auto found = mImages.find(path);
    if (found == mImages.end())
        return nullptr;
    return std::make_unique<FakeImageSource>(found->second);
}

std::optional<Bitmap> FakeImageLibrary::decodeImage(std::span<const std::uint8_t> bytes)
{
    for (const auto& [encoded, bitmap] : mEncoded)
        if (std::equal(encoded.begin(), encoded.end(), bytes.begin(), bytes.end()))
            return bitmap;
    return std::nullopt;
}

std::optional<Bitmap> FakeImageLibrary::scaleImage(const Bitmap& image, int width, int height)
{
    if (width <= 0 || height <= 0 || image.width <= 0 || image.height <= 0)
        return std::nullopt;
    Bitmap scaled{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const auto from = (static_cast<std::size_t>(y) * image.height / height * image.width +
                               static_cast<std::size_t>(x) * image.width / width) * 4;
            std::copy_n(image.pixels.begin() + static_cast<std::ptrdiff_t>(from), 4,
                        scaled.pixels.begin() + (static_cast<std::ptrdiff_t>(y) * width + x) * 4);
        }
    return scaled;
}

bool FakeImageLibrary::writeCopyWithIPTC(const std::filesystem::path& source, const std::filesystem::path& target,
                                         const PlistDictionary& iptc, double quality, Error* error)
{
    if (mFailWrites) {
        if (error)
            *error = Error{GeneralErrorDomain, -1, "The copy cannot be written.", ""};
        return false;
    }
    mWritten.push_back({source, target, iptc, quality});
    return true;
}

} // namespace qm
