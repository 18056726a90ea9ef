#include "app/CustomIPTCFilter.h"

#include "foundation/ArchiveReader.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/Log.h"
#include "foundation/UserDefaults.h"

namespace qm {

namespace {

std::optional<CustomIPTCFilter::Entry> entryFrom(const PlistValue& item)
{
    const PlistValue* code = item.find("iptcCode");
    auto decoded = code ? ArchiveReader::objectOf<cIPTCCode>(*code) : std::nullopt;
    if (!decoded)
        return std::nullopt;
    const PlistValue* label = item.find("customLabel");
    return CustomIPTCFilter::Entry{*decoded, label && label->string() ? std::optional(*label->string()) : std::nullopt};
}

} // namespace

std::optional<PlistData> CustomIPTCFilter::archive(const std::vector<Entry>& entries)
{
    PlistArray items;
    for (const auto& entry : entries) {
        PlistDictionary item{{"iptcCode", ArchiveWriter::item(entry.iptcCode)}};
        if (entry.customLabel)
            item.emplace("customLabel", PlistValue(*entry.customLabel));
        items.push_back(PlistValue(std::move(item)));
    }
    ArchiveWriter writer;
    writer.encode(PlistValue(std::move(items)));
    return writer.sequentialData();
}

std::vector<CustomIPTCFilter::Entry> CustomIPTCFilter::unarchive(std::span<const std::uint8_t> data)
{
    std::vector<Entry> entries;
    auto reader = ArchiveReader::sequential(data);
    auto items = reader ? reader->decode() : std::nullopt;
    if (!items || !items->array())
        return entries;
    for (const auto& item : *items->array()) {
        if (auto entry = entryFrom(item))
            entries.push_back(std::move(*entry));
        else
            Log::message("customIPTCFilter: an entry without a dataset code is left out");
    }
    return entries;
}

std::vector<CustomIPTCFilter::Entry> CustomIPTCFilter::fromDefaults(const UserDefaults& defaults)
{
    auto data = defaults.dataForKey("customIPTCFilter");
    return data ? unarchive(*data) : std::vector<Entry>{};
}

IPTCRecordArray CustomIPTCFilter::filteredRecords(const IPTCRecordArray& records, const std::vector<Entry>& entries)
{
    IPTCRecordArray filtered;
    for (const auto& entry : entries)
        for (const auto& record : records)
            if (record->IPTCcode() == entry.iptcCode)
                filtered.push_back(record);
    return filtered;
}

std::string CustomIPTCFilter::labelForCode(const cIPTCCode& code, const UserDefaults& defaults)
{
    if (defaults.boolForKey("filterIPTCRecords"))
        for (const auto& entry : fromDefaults(defaults))
            if (entry.iptcCode == code)
                return entry.customLabel.value_or(code.name().value_or(""));
    return code.name().value_or("");
}

} // namespace qm
