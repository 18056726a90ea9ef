#include "corpus/JpegHeader.h"

namespace qm::bench {

namespace {

void appendSegment(Bytes& bytes, std::uint8_t marker, const Bytes& payload)
{
    bytes.push_back(0xFF);
    bytes.push_back(marker);
    appendBigEndian16(bytes, static_cast<std::uint16_t>(payload.size() + 2));
    appendBytes(bytes, payload);
}

Bytes jfif()
{
    Bytes payload;
    appendText(payload, std::string_view("JFIF\0", 5));
    appendBytes(payload, {1, 2, 1}); // version 1.2, dots per inch
    appendBigEndian16(payload, 300);
    appendBigEndian16(payload, 300);
    appendBytes(payload, {0, 0}); // no thumbnail
    return payload;
}

Bytes exif(const PressMetadata& metadata, int width, int height)
{
    Bytes payload;
    appendText(payload, std::string_view("Exif\0\0", 6));
    appendBytes(payload, metadata.exifTiff(width, height));
    return payload;
}

Bytes xmp(const PressMetadata& metadata)
{
    Bytes payload;
    appendText(payload, std::string_view("http://ns.adobe.com/xap/1.0/\0", 29));
    appendText(payload, metadata.xmpPacket());
    return payload;
}

Bytes photoshop(const PressMetadata& metadata)
{
    Bytes payload;
    appendText(payload, std::string_view("Photoshop 3.0\0", 14));
    appendBytes(payload, metadata.photoshopResources());
    return payload;
}

Bytes quantisationTables()
{
    Bytes payload;
    for (std::uint8_t table = 0; table < 2; ++table) {
        payload.push_back(table);
        for (int i = 0; i < 64; ++i)
            payload.push_back(static_cast<std::uint8_t>(2 + i / 4 + table));
    }
    return payload;
}

Bytes frame(int width, int height)
{
    const auto byte = [](int value, int shift) { return static_cast<std::uint8_t>(value >> shift); };
    // 8-bit samples, three components: Y sampled 2x2, Cb and Cr 1x1.
    return {8, byte(height, 8), byte(height, 0), byte(width, 8), byte(width, 0), 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
}

// The standard luminance DC table; enough for the file to look complete.
Bytes huffmanTable()
{
    Bytes payload{0x00, 0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
    for (std::uint8_t symbol = 0; symbol < 12; ++symbol)
        payload.push_back(symbol);
    return payload;
}

Bytes scan() { return {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}; }

} // namespace

Bytes jpegHeader(const PressMetadata& metadata, int width, int height)
{
    Bytes bytes{0xFF, 0xD8};
    appendSegment(bytes, 0xE0, jfif());
    appendSegment(bytes, 0xE1, exif(metadata, width, height));
    appendSegment(bytes, 0xE1, xmp(metadata));
    appendSegment(bytes, 0xED, photoshop(metadata));
    appendSegment(bytes, 0xDB, quantisationTables());
    appendSegment(bytes, 0xC0, frame(width, height));
    appendSegment(bytes, 0xC4, huffmanTable());
    appendSegment(bytes, 0xDA, scan());
    return bytes;
}

} // namespace qm::bench
