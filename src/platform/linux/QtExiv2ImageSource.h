#pragma once

#include <filesystem>
#include <memory>

#include "platform/ImageLibrary.h"

namespace qm {

// The first image of a file: pixels through Qt's image readers, metadata through Exiv2. A file
// that Qt cannot decode but Exiv2 knows as an image with pixels (a Photoshop document) has a
// size and properties but no decoded image.
class QtExiv2ImageSource : public ImageSource {
public:
    // Null when the file is not an image for either library.
    static std::unique_ptr<QtExiv2ImageSource> open(const std::filesystem::path& path);

    std::optional<std::pair<int, int>> pixelSize() override;
    std::optional<Bitmap> image() override;
    std::optional<PlistDictionary> properties() override;

private:
    QtExiv2ImageSource(std::filesystem::path path, std::optional<std::pair<int, int>> size, bool decodable);
    void addMetadata(PlistDictionary& properties) const;

    std::filesystem::path mPath;
    std::optional<std::pair<int, int>> mSize;
    bool mDecodable;
};

} // namespace qm
