// Operations on arrays of records: unique codes, consolidation, look-up and the image library's dictionary.
#include "metadata/cIPTCRecord.h"

#include <algorithm>

#include "foundation/IptcPropertyKeys.h"

namespace qm {

namespace {

bool hasCode(const cIPTCRecord& record, const cIPTCCode& code)
{
    return record.IPTCcode() == code;
}

std::shared_ptr<cIPTCRecord> joinedRecord(const cIPTCCode& code, const IPTCRecordArray& matches)
{
    std::string joined;
    for (std::size_t i = 0; i < matches.size(); ++i)
        joined += (i ? ", " : "") + matches[i]->dataAsFormattedString();
    auto record = std::make_shared<cIPTCRecord>();
    record->setIPTCcode(code);
    record->setData(cIPTCRecord::Bytes(joined.begin(), joined.end()));
    record->setTextEncoding(Encoding::UTF8);
    return record;
}

} // namespace

std::vector<cIPTCCode> cIPTCRecord::uniqueIPTCCodes(const IPTCRecordArray& records)
{
    std::vector<cIPTCCode> codes;
    for (const auto& record : records)
        if (std::find(codes.begin(), codes.end(), record->IPTCcode()) == codes.end())
            codes.push_back(record->IPTCcode());
    return codes;
}

std::shared_ptr<cIPTCRecord> cIPTCRecord::consolidatedIPTCRecord(const cIPTCCode& code, const IPTCRecordArray& records)
{
    const bool repeatable = cIPTCCode::isRepeatableIPTCCode(static_cast<std::uint8_t>(code.recordType().value_or(0)),
                                                 static_cast<std::uint8_t>(code.dataSetCode().value_or(0)));
    IPTCRecordArray matches;
    for (const auto& record : records) {
        if (!hasCode(*record, code))
            continue;
        if (!repeatable)
            return record;
        matches.push_back(record);
    }
    if (matches.empty())
        return nullptr;
    return joinedRecord(code, matches);
}

IPTCRecordArray cIPTCRecord::IPTCRecordsByConsolidatingRepeatableRecords(const IPTCRecordArray& records)
{
    IPTCRecordArray consolidated;
    for (const cIPTCCode& code : uniqueIPTCCodes(records))
        if (auto record = consolidatedIPTCRecord(code, records))
            consolidated.push_back(record);
    return consolidated;
}

std::shared_ptr<cIPTCRecord> cIPTCRecord::IPTCRecordByCode(const cIPTCCode& code, const IPTCRecordArray& records,
                                                           bool consolidateRepeatables)
{
    const IPTCRecordArray& searched =
        consolidateRepeatables ? IPTCRecordsByConsolidatingRepeatableRecords(records) : records;
    auto found = std::find_if(searched.begin(), searched.end(), [&](const auto& r) { return hasCode(*r, code); });
    return found == searched.end() ? nullptr : *found;
}

IPTCRecordArray cIPTCRecord::removeRecordsOfDataSet(std::int32_t dataSet, std::int32_t recordType,
                                                    const IPTCRecordArray& records)
{
    IPTCRecordArray kept;
    std::copy_if(records.begin(), records.end(), std::back_inserter(kept), [&](const auto& record) {
        return !(record->IPTCcode().dataSetCode() == dataSet && record->IPTCcode().recordType() == recordType);
    });
    return kept;
}

int cIPTCRecord::compareIPTCNumbers(const cIPTCRecord& a, const cIPTCRecord& b)
{
    return a.IPTCcode().compare(b.IPTCcode());
}

int cIPTCRecord::compareIPTCNames(const cIPTCRecord& a, const cIPTCRecord& b)
{
    return a.IPTCcode().compareByName(b.IPTCcode());
}

const std::map<int, std::string>& cIPTCRecord::IPTCAppRecordDataSetNumberToCoreGraphicsKeyDictionary()
{
    return IptcPropertyKeys::byDataSet();
}

// The values are the datasets' own text, not their display text: dates stay CCYYMMDD and the
// caption stays whole, so writing the dictionary back loses nothing. Repeatable datasets give an
// array of every value in order; for other datasets a later record replaces an earlier one.
PlistDictionary cIPTCRecord::IPTCRecordArrayToCoreGraphicsIPTCDictionary(const IPTCRecordArray& records)
{
    const auto& keys = IPTCAppRecordDataSetNumberToCoreGraphicsKeyDictionary();
    PlistDictionary dictionary;
    for (const auto& record : records) {
        const auto& code = record->IPTCcode();
        const auto key = code.recordType() == 2 ? keys.find(code.dataSetCode().value_or(-1)) : keys.end();
        if (key == keys.end())
            continue;
        auto text = record->data() ? StringEncodings::decode(*record->data(), record->textEncoding()) : std::nullopt;
        if (!text)
            continue;
        if (!cIPTCCode::isRepeatableIPTCCode(2, static_cast<std::uint8_t>(key->first))) {
            dictionary.insert_or_assign(key->second, PlistValue(*text));
            continue;
        }
        auto [entry, inserted] = dictionary.try_emplace(key->second, PlistValue(PlistArray{}));
        entry->second.array()->push_back(PlistValue(*text));
    }
    return dictionary;
}

} // namespace qm
