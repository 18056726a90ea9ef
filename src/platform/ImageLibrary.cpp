#include "platform/ImageLibrary.h"

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

// Stands in until a program installs a real library: every operation fails.
class NoImageLibrary : public ImageLibrary {
public:
    std::unique_ptr<ImageSource> openImageSource(const std::filesystem::path&) override { return nullptr; }
    std::optional<Bitmap> decodeImage(std::span<const std::uint8_t>) override { return std::nullopt; }
    std::optional<Bitmap> scaleImage(const Bitmap&, int, int) override { return std::nullopt; }
    bool writeCopyWithIPTC(const std::filesystem::path&, const std::filesystem::path&, const PlistDictionary&, double,
                           Error* error) override
    {
        if (error)
            *error = Error{GeneralErrorDomain, -1, "No image library is available.", ""};
        return false;
    }
};
} // namespace

std::shared_ptr<ImageLibrary> ImageLibrary::current()
{
    return installedImplementation<ImageLibrary, NoImageLibrary>().current();
}

void ImageLibrary::install(std::shared_ptr<ImageLibrary> implementation)
{
    installedImplementation<ImageLibrary, NoImageLibrary>().install(std::move(implementation));
}

} // namespace qm
