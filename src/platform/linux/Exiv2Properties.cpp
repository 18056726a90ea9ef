#include "platform/linux/Exiv2Properties.h"

#include "foundation/IptcPropertyKeys.h"

#include <QString>
#include <QStringDecoder>

namespace qm {

namespace {

constexpr std::uint16_t ApplicationRecord = 2;

std::string rawBytes(const Exiv2::Iptcdatum& datum)
{
    std::string bytes(datum.size(), '\0');
    datum.copy(reinterpret_cast<Exiv2::byte*>(bytes.data()), Exiv2::bigEndian);
    return bytes;
}

void addIptcValue(PlistDictionary& iptc, const std::string& key, const Exiv2::Iptcdatum& datum)
{
    PlistValue value(Exiv2Properties::text(rawBytes(datum)));
    if (!Exiv2::IptcDataSets::dataSetRepeatable(datum.tag(), datum.record())) {
        iptc.emplace(key, std::move(value)); // a repeated single-valued dataset keeps its first value
        return;
    }
    auto [entry, added] = iptc.try_emplace(key, PlistArray{});
    if (auto* values = entry->second.array())
        values->push_back(std::move(value));
}

PlistDictionary exifText(const Exiv2::ExifData& data, const char* group)
{
    PlistDictionary values;
    for (const auto& datum : data)
        if (datum.typeId() == Exiv2::asciiString && datum.groupName() == group)
            values.emplace(datum.tagName(), PlistValue(Exiv2Properties::text(datum.toString())));
    return values;
}

PlistDictionary xmpText(const Exiv2::XmpData& data)
{
    PlistDictionary values;
    for (const auto& datum : data) {
        const auto name = datum.tagName();
        if (datum.typeId() == Exiv2::xmpText && name.find_first_of("[/") == std::string::npos)
            values.emplace(datum.groupName() + ":" + name, PlistValue(Exiv2Properties::text(datum.toString())));
    }
    return values;
}

void addUnlessEmpty(PlistDictionary& properties, const char* key, PlistDictionary part)
{
    if (!part.empty())
        properties.insert_or_assign(key, PlistValue(std::move(part)));
}

} // namespace

void Exiv2Properties::addTo(PlistDictionary& properties, const Exiv2::Image& image)
{
    addUnlessEmpty(properties, "{IPTC}", iptc(image.iptcData()));
    addUnlessEmpty(properties, "{TIFF}", exifText(image.exifData(), "Image"));
    addUnlessEmpty(properties, "{Exif}", exifText(image.exifData(), "Photo"));
    addUnlessEmpty(properties, "{XMP}", xmpText(image.xmpData()));
}

PlistDictionary Exiv2Properties::iptc(const Exiv2::IptcData& data)
{
    const auto& keys = IptcPropertyKeys::byDataSet();
    PlistDictionary iptc;
    for (const auto& datum : data) {
        const auto key = keys.find(datum.tag());
        if (datum.record() == ApplicationRecord && key != keys.end())
            addIptcValue(iptc, key->second, datum);
    }
    return iptc;
}

std::string Exiv2Properties::text(std::string_view bytes)
{
    while (!bytes.empty() && bytes.back() == '\0')
        bytes.remove_suffix(1);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError())
        return std::string(bytes);
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

} // namespace qm
