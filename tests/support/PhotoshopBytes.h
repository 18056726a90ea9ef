#pragma once

#include "support/ByteFixtures.h"

// Photoshop documents and their image resource blocks, built byte by byte.
namespace qm::test {

inline Bytes bigEndian32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

// A block with an empty name (length byte and pad byte), its data and a pad byte after odd data.
inline Bytes photoshopBlock(std::uint16_t identifier, const Bytes& data)
{
    return text("8BIM") + Bytes{static_cast<std::uint8_t>(identifier >> 8), static_cast<std::uint8_t>(identifier), 0, 0} +
           bigEndian32(static_cast<std::uint32_t>(data.size())) + data + Bytes(data.size() % 2, 0);
}

// "8BPS", version 1, 6 reserved bytes, 3 channels, 8 × 8 pixels, depth 8, RGB.
inline const Bytes PhotoshopHeader =
    text("8BPS") + Bytes{0, 1, 0, 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 8, 0, 0, 0, 8, 0, 8, 0, 3};

// Header, colour-mode data, image resources, then an empty layer section.
inline Bytes photoshopDocument(const Bytes& resources, const Bytes& colourModeData = {})
{
    return PhotoshopHeader + bigEndian32(static_cast<std::uint32_t>(colourModeData.size())) + colourModeData +
           bigEndian32(static_cast<std::uint32_t>(resources.size())) + resources + bigEndian32(0);
}

// A JPEG that holds the IIM block in resource 1028 of one APP13 segment, and nothing else.
inline Bytes jpegWithIIM(const Bytes& iim)
{
    const Bytes payload = text("Photoshop 3.0") + Bytes{0} + photoshopBlock(1028, iim);
    const auto length = static_cast<std::uint16_t>(payload.size() + 2);
    return Bytes{0xFF, 0xD8, 0xFF, 0xED, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)} +
           payload;
}

} // namespace qm::test
