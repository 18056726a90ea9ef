// quillmark-make-sample: makes the bundled sample press photo, a small JPEG whose IPTC datasets
// are in Windows Latin 1 and which carries an XMP packet as well.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "metadata/cIPTCRecord.h"
#include "metadata/simpleOutputStream.h"
#include "parsers/cPhotoshopIPTCImageResource.h"

using namespace qm;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::shared_ptr<cIPTCRecord> dataset(std::uint8_t dataSet, const std::string& utf8Text)
{
    auto record = std::make_shared<cIPTCRecord>();
    record->setIPTCcode(cIPTCCode(2, dataSet));
    record->setTextEncoding(Encoding::WindowsCP1252);
    record->setDataFromString(utf8Text);
    return record;
}

IPTCRecordArray pressDatasets()
{
    auto version = std::make_shared<cIPTCRecord>(2, 0, Bytes{0x00, 0x04});
    return {version,
            dataset(5, "Hochwasser in Köln"),
            dataset(25, "Hochwasser"),
            dataset(25, "Rhein"),
            dataset(25, "Köln"),
            dataset(55, "20261203"),
            dataset(80, "Jürgen Müller"),
            dataset(85, "Fotograf"),
            dataset(90, "Köln"),
            dataset(95, "Nordrhein-Westfalen"),
            dataset(101, "Deutschland"),
            dataset(105, "Rhein tritt über die Ufer"),
            dataset(110, "Rheinische Zeitung / Jürgen Müller"),
            dataset(115, "RZ Bildredaktion"),
            dataset(116, "© 2026 Rheinische Zeitung"),
            dataset(120, "Der Rhein hat die Kölner Altstadt erreicht; Anwohner räumen ihre Keller. "
                         "*** Local Caption *** Hochwasser am Fischmarkt, Köln-Altstadt."),
            dataset(122, "bm")};
}

const char* xmpPacket =
    "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
    "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
    " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
    "  <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"\n"
    "    xmlns:photoshop=\"http://ns.adobe.com/photoshop/1.0/\">\n"
    "   <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">Hochwasser in Köln</rdf:li></rdf:Alt></dc:title>\n"
    "   <dc:creator><rdf:Seq><rdf:li>Jürgen Müller</rdf:li></rdf:Seq></dc:creator>\n"
    "   <dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">Der Rhein hat die Kölner Altstadt erreicht; "
    "Anwohner räumen ihre Keller.</rdf:li></rdf:Alt></dc:description>\n"
    "   <dc:subject><rdf:Bag><rdf:li>Hochwasser</rdf:li><rdf:li>Rhein</rdf:li><rdf:li>Köln</rdf:li></rdf:Bag>"
    "</dc:subject>\n"
    "   <dc:rights><rdf:Alt><rdf:li xml:lang=\"x-default\">© 2026 Rheinische Zeitung</rdf:li></rdf:Alt></dc:rights>\n"
    "   <photoshop:City>Köln</photoshop:City>\n"
    "   <photoshop:Credit>Rheinische Zeitung / Jürgen Müller</photoshop:Credit>\n"
    "   <photoshop:Headline>Rhein tritt über die Ufer</photoshop:Headline>\n"
    "  </rdf:Description>\n"
    " </rdf:RDF>\n"
    "</x:xmpmeta>\n"
    "<?xpacket end=\"w\"?>";

// A river under a grey sky: enough of a picture for previews.
QByteArray pictureAsJPEG()
{
    QImage image(320, 213, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 0, 120);
    sky.setColorAt(0, QColor(120, 130, 145));
    sky.setColorAt(1, QColor(190, 195, 200));
    painter.fillRect(0, 0, 320, 120, sky);
    painter.fillRect(0, 120, 320, 93, QColor(92, 84, 60));
    painter.setBrush(QColor(70, 60, 55));
    painter.drawRect(40, 70, 60, 50);
    painter.drawRect(200, 60, 80, 60);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

Bytes segment(std::uint8_t marker, const Bytes& payload)
{
    const auto length = payload.size() + 2;
    Bytes bytes{0xFF, marker, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length & 0xFF)};
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

Bytes photoshopPayload()
{
    cPhotoshopIPTCImageResource iptc;
    iptc.setIPTCRecords(pressDatasets());
    simpleOutputStream out(4096);
    const std::string identification = "Photoshop 3.0";
    out.writeBytes(identification.c_str(), static_cast<std::uint32_t>(identification.size() + 1));
    iptc.writeToStream(out);
    return Bytes(out.basePtr(), out.basePtr() + out.streamPosition());
}

Bytes xmpPayload()
{
    const std::string identifier = "http://ns.adobe.com/xap/1.0/";
    Bytes payload(identifier.begin(), identifier.end());
    payload.push_back(0);
    payload.insert(payload.end(), xmpPacket, xmpPacket + std::char_traits<char>::length(xmpPacket));
    return payload;
}

// Qt's JPEG starts with the start-of-image marker and a JFIF segment; the metadata follows them.
Bytes withMetadata(const QByteArray& jpeg)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(jpeg.constData());
    const std::size_t jfifEnd = 4 + (static_cast<std::size_t>(bytes[4]) << 8 | bytes[5]);
    Bytes file(bytes, bytes + jfifEnd);
    for (const Bytes& added : {segment(0xE1, xmpPayload()), segment(0xED, photoshopPayload())})
        file.insert(file.end(), added.begin(), added.end());
    file.insert(file.end(), bytes + jfifEnd, bytes + jpeg.size());
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: quillmark-make-sample OUT.jpg\n";
        return 2;
    }
    const Bytes file = withMetadata(pictureAsJPEG());
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::cerr << "quillmark-make-sample: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
