#include "corpus/PressMetadata.h"

#include <array>
#include <cstdio>

#include "corpus/TiffDirectory.h"

namespace qm::bench {

namespace {

constexpr std::array cities{"Hamburg", "München", "Zürich", "Köln", "Düsseldorf", "Wien", "Genève", "Malmö"};
constexpr std::array photographers{"Jörg Müller", "Anaïs Leclerc", "Søren Østergaard", "Zoë Brandt"};

std::string pick(const auto& table, int number) { return table[static_cast<std::size_t>(number) % table.size()]; }

void appendDataset(Bytes& bytes, std::uint8_t record, std::uint8_t dataset, std::string_view value)
{
    bytes.push_back(0x1C);
    bytes.push_back(record);
    bytes.push_back(dataset);
    appendBigEndian16(bytes, static_cast<std::uint16_t>(value.size()));
    appendText(bytes, value);
}

void appendResource(Bytes& bytes, std::uint16_t identifier, const Bytes& data)
{
    appendText(bytes, "8BIM");
    appendBigEndian16(bytes, identifier);
    appendBigEndian16(bytes, 0); // empty name, padded to even length
    appendBigEndian32(bytes, static_cast<std::uint32_t>(data.size()));
    appendBytes(bytes, data);
    if (data.size() & 1)
        bytes.push_back(0);
}

// Resolution info: 300 dpi both ways, shown in inches.
Bytes resolutionInfo()
{
    Bytes info;
    for (int axis = 0; axis < 2; ++axis) {
        appendBigEndian32(info, 300u << 16);
        appendBigEndian16(info, 1);
        appendBigEndian16(info, 2);
    }
    return info;
}

TiffDirectory imageDirectory(const std::string& date, std::uint32_t exifOffset)
{
    TiffDirectory ifd0;
    ifd0.addAscii(0x010F, "Nikon");          // Make
    ifd0.addAscii(0x0110, "NIKON D6");       // Model
    ifd0.addShort(0x0112, 1);                // Orientation
    ifd0.addRational(0x011A, 300, 1);        // XResolution
    ifd0.addRational(0x011B, 300, 1);        // YResolution
    ifd0.addShort(0x0128, 2);                // ResolutionUnit
    ifd0.addAscii(0x0131, "Photo Desk 4.2"); // Software
    ifd0.addAscii(0x0132, date);             // DateTime
    ifd0.addShort(0x0213, 1);                // YCbCrPositioning
    ifd0.addLong(0x8769, exifOffset);        // Exif IFD
    return ifd0;
}

TiffDirectory exifDirectory(int width, int height, const std::string& date)
{
    TiffDirectory exif;
    exif.addRational(0x829A, 1, 500);                         // ExposureTime
    exif.addRational(0x829D, 28, 10);                         // FNumber
    exif.addShort(0x8827, 800);                               // ISOSpeedRatings
    exif.addBytes(0x9000, TiffDirectory::Undefined, {'0', '2', '3', '1'}); // ExifVersion
    exif.addAscii(0x9003, date);                              // DateTimeOriginal
    exif.addBytes(0x9101, TiffDirectory::Undefined, {1, 2, 3, 0}); // ComponentsConfiguration
    exif.addBytes(0xA000, TiffDirectory::Undefined, {'0', '1', '0', '0'}); // FlashpixVersion
    exif.addShort(0xA001, 1);                                 // ColorSpace
    exif.addLong(0xA002, static_cast<std::uint32_t>(width));  // PixelXDimension
    exif.addLong(0xA003, static_cast<std::uint32_t>(height)); // PixelYDimension
    return exif;
}

} // namespace

PressMetadata::PressMetadata(int number) : mNumber(number) {}

std::string PressMetadata::objectName() const
{
    char name[32];
    std::snprintf(name, sizeof name, "DPA-%06d", mNumber);
    return name;
}

std::string PressMetadata::dateText() const
{
    char text[32];
    std::snprintf(text, sizeof text, "2024:%02d:%02d %02d:%02d:%02d", 1 + mNumber % 12, 1 + mNumber % 28,
                  mNumber % 24, mNumber % 60, (mNumber * 7) % 60);
    return text;
}

std::string PressMetadata::caption() const
{
    return "Ein Straßenbahnzug fährt am Morgen durch die Innenstadt von " + pick(cities, mNumber) +
           ". Wegen Bauarbeiten an den Gleisen kommt es in den nächsten Wochen zu Umleitungen; "
           "die Verkehrsbetriebe raten Fahrgästen, mehr Zeit einzuplanen. Bild " +
           objectName() + ".";
}

Bytes PressMetadata::exifTiff(int width, int height) const
{
    constexpr std::uint32_t firstOffset = 8;
    const auto exifOffset = static_cast<std::uint32_t>(firstOffset + imageDirectory(dateText(), 0).size());
    Bytes tiff{'I', 'I', 42, 0};
    appendLittleEndian32(tiff, firstOffset);
    appendBytes(tiff, imageDirectory(dateText(), exifOffset).layOut(firstOffset));
    appendBytes(tiff, exifDirectory(width, height, dateText()).layOut(exifOffset));
    return tiff;
}

Bytes PressMetadata::iimDatasets() const
{
    const std::string city = pick(cities, mNumber);
    const std::string date = dateText();
    Bytes bytes;
    appendDataset(bytes, 1, 90, "\x1B%G");
    appendDataset(bytes, 2, 0, std::string("\x00\x04", 2));
    appendDataset(bytes, 2, 5, objectName());
    appendDataset(bytes, 2, 10, "5");
    for (const char* keyword : {"Verkehr", "Straßenbahn", "Baustelle", "Nahverkehr"})
        appendDataset(bytes, 2, 25, keyword);
    appendDataset(bytes, 2, 55, date.substr(0, 4) + date.substr(5, 2) + date.substr(8, 2));
    appendDataset(bytes, 2, 60, date.substr(11, 2) + date.substr(14, 2) + date.substr(17, 2) + "+0100");
    appendDataset(bytes, 2, 80, pick(photographers, mNumber));
    appendDataset(bytes, 2, 85, "Fotograf");
    appendDataset(bytes, 2, 90, city);
    appendDataset(bytes, 2, 95, "Nordrhein-Westfalen");
    appendDataset(bytes, 2, 101, "Deutschland");
    appendDataset(bytes, 2, 105, "Umleitungen wegen Gleisarbeiten in " + city);
    appendDataset(bytes, 2, 110, "dpa");
    appendDataset(bytes, 2, 115, "dpa-Bildfunk");
    appendDataset(bytes, 2, 116, "© 2024 dpa – alle Rechte vorbehalten");
    appendDataset(bytes, 2, 120, caption());
    return bytes;
}

Bytes PressMetadata::photoshopResources() const
{
    const Bytes datasets = iimDatasets();
    Bytes resources;
    appendResource(resources, 0x03ED, resolutionInfo());
    appendResource(resources, 0x0404, datasets);
    return resources;
}

std::string PressMetadata::xmpPacket() const
{
    const std::string city = pick(cities, mNumber);
    const std::string date = dateText();
    const std::string isoDate = date.substr(0, 4) + "-" + date.substr(5, 2) + "-" + date.substr(8, 2) + "T" +
                                date.substr(11) + "+01:00";
    std::string packet =
        "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\" x:xmptk=\"Adobe XMP Core 5.6-c140\">\n"
        " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
        "  <rdf:Description rdf:about=\"\"\n"
        "    xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
        "    xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\"\n"
        "    xmlns:Iptc4xmpCore=\"http://iptc.org/std/Iptc4xmpCore/1.0/xmlns/\"\n"
        "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
        "    xmlns:xmpRights=\"http://ns.adobe.com/xap/1.0/rights/\"\n"
        "   photoshop:Headline=\"Umleitungen wegen Gleisarbeiten in " + city + "\"\n"
        "   photoshop:City=\"" + city + "\"\n"
        "   photoshop:State=\"Nordrhein-Westfalen\"\n"
        "   photoshop:Country=\"Deutschland\"\n"
        "   photoshop:Credit=\"dpa\"\n"
        "   photoshop:Source=\"dpa-Bildfunk\"\n"
        "   photoshop:AuthorsPosition=\"Fotograf\"\n"
        "   photoshop:Urgency=\"5\"\n"
        "   photoshop:DateCreated=\"" + isoDate + "\"\n"
        "   Iptc4xmpCore:CountryCode=\"DE\"\n"
        "   xmp:CreateDate=\"" + isoDate + "\"\n"
        "   xmp:CreatorTool=\"Photo Desk 4.2\">\n"
        "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">" + objectName() + "</rdf:li></rdf:Alt></dc:title>\n"
        "   <dc:creator><rdf:Seq><rdf:li>" + pick(photographers, mNumber) + "</rdf:li></rdf:Seq></dc:creator>\n"
        "   <dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">" + caption() +
        "</rdf:li></rdf:Alt></dc:description>\n"
        "   <dc:rights><rdf:Alt><rdf:li xml:lang=\"x-default\">© 2024 dpa – alle Rechte vorbehalten</rdf:li></rdf:Alt></dc:rights>\n"
        "   <dc:subject><rdf:Bag><rdf:li>Verkehr</rdf:li><rdf:li>Straßenbahn</rdf:li><rdf:li>Baustelle</rdf:li>"
        "<rdf:li>Nahverkehr</rdf:li></rdf:Bag></dc:subject>\n"
        "   <xmpRights:UsageTerms><rdf:Alt><rdf:li xml:lang=\"x-default\">Nur für redaktionelle Verwendung."
        "</rdf:li></rdf:Alt></xmpRights:UsageTerms>\n"
        "  </rdf:Description>\n"
        " </rdf:RDF>\n"
        "</x:xmpmeta>\n";
    // Writers leave about 2 KB of padding so that the packet can grow in place.
    for (int line = 0; line < 20; ++line)
        packet += std::string(99, ' ') + "\n";
    return packet + "<?xpacket end=\"w\"?>";
}

} // namespace qm::bench
