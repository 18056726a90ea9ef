#pragma once

#include "parsers/cJPEGSegment.h"

namespace qm {

// The JFIF header (APP0): identifier, version, density and an optional RGB thumbnail. Each
// accessor is absent when the payload is too short for its field.
class cAPP0_Segment : public cJPEGSegment {
public:
    std::optional<std::string> fileIdentifier() const;
    std::optional<std::uint8_t> majorRevisionNumber() const { return UInt8AtOffset(5); }
    std::optional<std::uint8_t> minorRevisionNumber() const { return UInt8AtOffset(6); }
    std::optional<std::uint8_t> xyUnits() const { return UInt8AtOffset(7); }
    std::optional<std::uint16_t> xDensity() const { return UInt16AtOffset(8); }
    std::optional<std::uint16_t> yDensity() const { return UInt16AtOffset(10); }
    std::optional<std::uint8_t> thumbnailWidth() const { return UInt8AtOffset(12); }
    std::optional<std::uint8_t> thumbnailHeight() const { return UInt8AtOffset(13); }
    // width × height RGB pixels.
    std::optional<Bytes> thumbnailData() const;

    // Writes the units byte and both densities; false (nothing changed) when they do not fit.
    bool setResolution(std::uint8_t units, std::uint16_t xDensity, std::uint16_t yDensity);
};

} // namespace qm
