#include "parsers/XMPtoIPTCconverter.h"

#include <limits>
#include <vector>

#include "foundation/Bundle.h"
#include "foundation/Log.h"
#include "foundation/StringEncodings.h"
#include "parsers/bufferedTinyXML.h"

namespace qm {

namespace {

constexpr std::int32_t DateCreatedDataSet = 55;

struct MappingEntry {
    std::string descriptor;
    std::int64_t dataSet;
};

std::vector<MappingEntry> loadMappingTable()
{
    std::vector<MappingEntry> entries;
    const auto resource = Bundle::main().plistResource("XmpToIptcData");
    const PlistDictionary* dictionary = resource ? resource->dictionary() : nullptr;
    if (resource && !dictionary)
        Log::message("XmpToIptcData is not a dictionary");
    if (!dictionary)
        return entries;
    for (const auto& [descriptor, value] : *dictionary)
        if (const std::int64_t* dataSet = value.integer())
            entries.push_back({descriptor, *dataSet});
    return entries;
}

// In the table's key order; empty when the resource is missing. Loaded once.
const std::vector<MappingEntry>& mappingTable()
{
    static const std::vector<MappingEntry> table = loadMappingTable();
    return table;
}

std::unique_ptr<bufferedTinyXML> loadPacket(std::string_view packet)
{
    if (packet.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        Log::format("XMP packet of %zu bytes is too large", packet.size());
        return std::make_unique<bufferedTinyXML>(nullptr, -1);
    }
    return std::make_unique<bufferedTinyXML>(packet.data(), static_cast<std::int32_t>(packet.size()));
}

bool isDigits(std::string_view text)
{
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

bool isIIMDate(std::string_view text)
{
    return text.size() == 8 && isDigits(text);
}

bool isXMPDate(std::string_view text)
{
    return text.size() == 10 && text[4] == '-' && text[7] == '-' && isDigits(text.substr(0, 4)) &&
           isDigits(text.substr(5, 2)) && isDigits(text.substr(8, 2));
}

// IIM dates are CCYYMMDD, XMP dates CCYY-MM-DD with an optional time after a 'T', which is kept.
// A date that is not CCYYMMDD (one taken from XMP) is written as it is.
std::optional<std::string> XMPDate(const cIPTCRecord& record, std::string_view current)
{
    auto text = StringEncodings::decode(record.data().value_or(cIPTCRecord::Bytes{}), Encoding::UTF8);
    if (!text || !isIIMDate(*text))
        return text;
    std::string date = text->substr(0, 4) + '-' + text->substr(4, 2) + '-' + text->substr(6, 2);
    if (current.size() > 10 && current[10] == 'T' && isXMPDate(current.substr(0, 10)))
        date += current.substr(10);
    return date;
}

// The record's display text, except for dates, whose display text is a localized presentation.
std::optional<std::string> XMPText(const cIPTCRecord& record, std::string_view current)
{
    if (record.IPTCcode().dataSetCode() == DateCreatedDataSet)
        return XMPDate(record, current);
    return record.dataAsFormattedStringWithEncoding(record.textEncoding());
}

std::string printed(const TiXmlDocument& document)
{
    TiXmlPrinter printer;
    printer.SetIndent("    ");
    document.Accept(&printer);
    return printer.Str();
}

} // namespace

XMPtoIPTCconverter::XMPtoIPTCconverter(std::string_view packet) : mXMLDoc(loadPacket(packet)) {}

XMPtoIPTCconverter::XMPtoIPTCconverter(std::unique_ptr<TiXmlDocument> document) : mXMLDoc(std::move(document)) {}

std::optional<IPTCRecordArray> XMPtoIPTCconverter::XMPToIPTCRecordArray(std::string_view packet)
{
    if (packet.empty()) {
        Log::message("XMPToIPTCRecordArray no bytes");
        return std::nullopt;
    }
    return tinyXmlToIPTCRecordArray(*loadPacket(packet));
}

IPTCRecordArray XMPtoIPTCconverter::tinyXmlToIPTCRecordArray(const TiXmlDocument& document)
{
    IPTCRecordArray records;
    for (const MappingEntry& entry : mappingTable()) {
        const TiXmlNode* property = DeepXmlChildNodeWithValue(&document, entry.descriptor);
        const TiXmlNode* text = DeepXmlChildNodeOfType(property, TiXmlNode::TINYXML_TEXT);
        if (!text)
            continue;
        const std::string& value = text->ValueStr();
        auto record = std::make_shared<cIPTCRecord>(2, static_cast<std::uint8_t>(entry.dataSet),
                                                    cIPTCRecord::Bytes(value.begin(), value.end()));
        record->setTextEncoding(Encoding::UTF8);
        records.push_back(std::move(record));
    }
    return records;
}

std::string XMPtoIPTCconverter::updateXMP(std::string_view packet, const cIPTCRecord& record)
{
    // The table maps datasets of the application record; other records have no property.
    const cIPTCCode& code = record.IPTCcode();
    const auto descriptor =
        code.recordType() == 2 && code.dataSetCode() ? XMPDescriptorForIPTCCode(*code.dataSetCode()) : std::nullopt;
    if (!descriptor)
        return std::string(packet);
    const auto document = loadPacket(packet);
    if (document->Error()) {
        // Printing TinyXML's partial document would drop the rest of the packet.
        Log::format("XMP packet not updated, it does not parse: %s", Log::excerpt(document->ErrorDesc()).c_str());
        return std::string(packet);
    }
    TiXmlNode* text = DeepXmlChildNodeOfType(DeepXmlChildNodeWithValue(document.get(), *descriptor),
                                             TiXmlNode::TINYXML_TEXT);
    if (!text)
        return std::string(packet);
    if (const auto value = XMPText(record, text->ValueStr()))
        text->SetValue(*value);
    else
        Log::format("bad string in XMP conversion of IPTC record %s", Log::excerpt(record.description()).c_str());
    return printed(*document);
}

std::optional<std::string> XMPtoIPTCconverter::XMPDescriptorForIPTCCode(std::int32_t dataSet)
{
    for (const MappingEntry& entry : mappingTable())
        if (entry.dataSet == dataSet)
            return entry.descriptor;
    return std::nullopt;
}

std::string XMPtoIPTCconverter::IPTCRecordArrayToXMP(const IPTCRecordArray&)
{
    return "huh? IPTCRecordArrayToXMP";
}

} // namespace qm
