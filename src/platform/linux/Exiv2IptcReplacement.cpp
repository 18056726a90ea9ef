#include "platform/linux/Exiv2IptcReplacement.h"

#include "foundation/Log.h"
#include "foundation/IptcPropertyKeys.h"

#include <optional>
#include <string>
#include <vector>

namespace qm {

namespace {

constexpr std::uint16_t EnvelopeRecord = 1;
constexpr std::uint16_t ApplicationRecord = 2;
constexpr std::uint16_t CodedCharacterSet = 90;
constexpr const char* UTF8Marker = "\x1B%G";

bool isReplaced(const Exiv2::Iptcdatum& datum)
{
    if (datum.record() == EnvelopeRecord)
        return datum.tag() == CodedCharacterSet;
    return datum.record() == ApplicationRecord && IptcPropertyKeys::byDataSet().contains(datum.tag());
}

void removeReplaced(Exiv2::IptcData& data)
{
    for (auto datum = data.begin(); datum != data.end();)
        datum = isReplaced(*datum) ? data.erase(datum) : datum + 1;
}

std::optional<std::string> textOf(const PlistValue& value)
{
    if (const auto* text = value.string())
        return *text;
    if (const auto* number = value.integer())
        return std::to_string(*number);
    return std::nullopt;
}

std::vector<std::string> textsOf(const std::string& key, const PlistValue& value)
{
    const PlistArray single{value};
    const PlistArray& elements = value.array() ? *value.array() : single;
    std::vector<std::string> texts;
    for (const auto& element : elements) {
        if (auto text = textOf(element))
            texts.push_back(std::move(*text));
        else
            Log::format("IPTC value of %s is not text; it is left out", key.c_str());
    }
    return texts;
}

void add(Exiv2::IptcData& data, std::uint16_t record, std::uint16_t dataSet, const std::string& text)
{
    Exiv2::StringValue value(text);
    if (data.add(Exiv2::IptcKey(dataSet, record), &value) != 0)
        Log::format("IPTC dataset %d:%d does not repeat; the value \"%s\" is left out", record, dataSet,
                    Log::excerpt(text).c_str());
}

void logUnknownKeys(const PlistDictionary& iptc)
{
    for (const auto& [key, value] : iptc)
        if (!IptcPropertyKeys::dataSetOf(key))
            Log::format("Unknown IPTC property %s is left out", key.c_str());
}

} // namespace

void Exiv2IptcReplacement::apply(Exiv2::IptcData& data, const PlistDictionary& iptc)
{
    removeReplaced(data);
    add(data, EnvelopeRecord, CodedCharacterSet, UTF8Marker);
    for (const auto& [dataSet, key] : IptcPropertyKeys::byDataSet())
        if (const auto entry = iptc.find(key); entry != iptc.end())
            for (const auto& text : textsOf(key, entry->second))
                add(data, ApplicationRecord, static_cast<std::uint16_t>(dataSet), text);
    logUnknownKeys(iptc);
}

} // namespace qm
