#include "app/TextDecoding.h"

#include <algorithm>

#include "foundation/ArchiveReader.h"
#include "foundation/UnicodeText.h"
#include "foundation/UserDefaults.h"
#include "metadata/textEncoding.h"

namespace qm {

namespace {

std::optional<cIPTCRecord::EncodingSpec> specFrom(const PlistValue& entry)
{
    const PlistValue* search = entry.find("search");
    const PlistValue* archived = entry.find("encoding");
    if (!search || !search->string() || !archived || !archived->data())
        return std::nullopt;
    auto encoding = unarchiveObject<textEncoding>(*archived->data());
    if (!encoding)
        return std::nullopt;
    return cIPTCRecord::EncodingSpec{*search->string(), encoding->rawEncoding()};
}

// The record's bytes read as UTF-8, written back in `to`, read again in `from`; nothing when a step fails.
std::optional<cIPTCRecord::Bytes> repairedBytes(const cIPTCRecord& record, StringEncoding to, StringEncoding from)
{
    if (!record.data())
        return std::nullopt;
    auto misread = StringEncodings::decode(*record.data(), Encoding::UTF8);
    auto original = misread ? StringEncodings::encode(*misread, to) : std::nullopt;
    auto text = original ? StringEncodings::decode(*original, from) : std::nullopt;
    if (!text)
        return std::nullopt;
    return cIPTCRecord::Bytes(text->begin(), text->end());
}

StringEncoding encodingSetting(const UserDefaults& defaults, std::string_view key)
{
    return static_cast<StringEncoding>(defaults.integerForKey(key));
}

} // namespace

std::vector<cIPTCRecord::EncodingSpec> TextDecoding::alternateEncodingSpecs(const UserDefaults& defaults)
{
    std::vector<cIPTCRecord::EncodingSpec> specs;
    for (const auto& entry : defaults.arrayForKey("alternateEncodingSpecs").value_or(PlistArray{}))
        if (auto spec = specFrom(entry))
            specs.push_back(*spec);
    return specs;
}

StringEncoding TextDecoding::guessTextEncodingOfIPTCRecords(const IPTCRecordArray& records,
                                                            const UserDefaults& defaults)
{
    const auto specs = defaults.boolForKey("useAlternateEncodingSpecs") ? alternateEncodingSpecs(defaults)
                                                                        : std::vector<cIPTCRecord::EncodingSpec>{};
    return cIPTCRecord::guessStringEncodingOfIPTCRecords(records, encodingSetting(defaults, "defaultTextEncoding"),
                                                         specs, defaults.boolForKey("respectUTF8Marker"));
}

IPTCRecordArray TextDecoding::convertCorruptUTF8(const IPTCRecordArray& records, const UserDefaults& defaults)
{
    const std::string triggers = defaults.stringForKey("corruptUTF8Triggers").value_or("");
    const bool corrupt = std::any_of(records.begin(), records.end(), [&](const auto& record) {
        return UnicodeText::containsAnyCharacterOf(record->dataAsFormattedString(), triggers);
    });
    if (!corrupt)
        return records;
    const StringEncoding to = encodingSetting(defaults, "corruptUTF8To");
    const StringEncoding from = encodingSetting(defaults, "corruptUTF8From");
    IPTCRecordArray repaired;
    for (const auto& record : records) {
        auto copy = std::make_shared<cIPTCRecord>(*record);
        if (auto bytes = repairedBytes(*record, to, from))
            copy->setData(std::move(*bytes));
        copy->setTextEncoding(Encoding::UTF8);
        repaired.push_back(std::move(copy));
    }
    return repaired;
}

IPTCRecordArray TextDecoding::recordsWithEncoding(const IPTCRecordArray& records, StringEncoding encoding)
{
    IPTCRecordArray result;
    for (const auto& record : records) {
        auto copy = std::make_shared<cIPTCRecord>(*record);
        copy->setTextEncoding(encoding);
        result.push_back(std::move(copy));
    }
    return result;
}

} // namespace qm
