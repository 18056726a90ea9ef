#pragma once

#include <string>

#include "corpus/Bytes.h"

namespace qm::bench {

// The metadata a press agency puts into a picture, varied by the picture's number so that no two
// files of the corpus hold the same text.
class PressMetadata {
public:
    explicit PressMetadata(int number);

    // A TIFF structure (little-endian) with IFD0 and a small Exif IFD, as an Exif segment holds it.
    Bytes exifTiff(int width, int height) const;
    // An XMP packet of a few kilobytes with its padding, wrapped in xpacket processing instructions.
    std::string xmpPacket() const;
    // 20 IIM datasets: the UTF-8 marker, then the usual envelope of a news picture.
    Bytes iimDatasets() const;
    // Photoshop image resources: the resolution (1005) and the IPTC datasets (1028).
    Bytes photoshopResources() const;

private:
    std::string objectName() const;
    std::string caption() const;
    std::string dateText() const;

    int mNumber;
};

} // namespace qm::bench
