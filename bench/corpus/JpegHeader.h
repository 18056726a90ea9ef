#pragma once

#include "corpus/Bytes.h"
#include "corpus/PressMetadata.h"

namespace qm::bench {

// Everything of a baseline JPEG up to and including its start-of-scan header: SOI, JFIF, Exif,
// XMP, Photoshop IPTC, quantisation and Huffman tables and the frame header.
Bytes jpegHeader(const PressMetadata& metadata, int width, int height);

} // namespace qm::bench
