#include "metadata/cIPTCCode.h"

#include <algorithm>
#include <array>

#include "foundation/Bundle.h"
#include "foundation/UnicodeText.h"

namespace qm {

namespace {

struct TableEntry {
    std::string name;
    std::optional<std::int64_t> recordType;
    std::optional<std::int64_t> dataSet;
    const PlistValue* xmpInfo;
};

// The table's entries in its own (key) order.
const std::vector<TableEntry>& tableEntries()
{
    static const std::vector<TableEntry> entries = [] {
        std::vector<TableEntry> result;
        const auto& table = cIPTCCode::nameToCodeDictionary();
        if (!table)
            return result;
        for (const auto& [name, value] : *table) {
            const PlistValue* record = value.find("recordType");
            const PlistValue* dataSet = value.find("dataSet");
            result.push_back({name, record ? record->asInteger() : std::nullopt,
                              dataSet ? dataSet->asInteger() : std::nullopt, value.find("XMPInfo")});
        }
        return result;
    }();
    return entries;
}

const TableEntry* findEntry(cIPTCCode::Number recordType, cIPTCCode::Number dataSetCode)
{
    if (!recordType || !dataSetCode)
        return nullptr;
    for (const auto& entry : tableEntries())
        if (entry.recordType == *recordType && entry.dataSet == *dataSetCode)
            return &entry;
    return nullptr;
}

std::string numberText(cIPTCCode::Number number)
{
    return number ? std::to_string(*number) : std::string("(null)");
}

int compareUnsigned(cIPTCCode::Number a, cIPTCCode::Number b)
{
    auto ua = static_cast<std::uint32_t>(a.value_or(0));
    auto ub = static_cast<std::uint32_t>(b.value_or(0));
    return ua < ub ? -1 : (ua > ub ? 1 : 0);
}

} // namespace

cIPTCCode::cIPTCCode(Number recordType, Number dataSetCode) : mRecordType(recordType), mDataSetCode(dataSetCode) {}

cIPTCCode cIPTCCode::IPTCCodeWithRecordType(Number recordType, Number dataSetCode)
{
    return cIPTCCode(recordType, dataSetCode);
}

std::optional<std::string> cIPTCCode::name() const
{
    return nameFromRecordType(mRecordType, mDataSetCode);
}

std::string cIPTCCode::description() const
{
    return name().value_or("(null)") + " (" + numberText(mRecordType) + ":" + numberText(mDataSetCode) + ")";
}

std::string cIPTCCode::reversedDescription() const
{
    return numberText(mRecordType) + ":" + numberText(mDataSetCode) + " (" + name().value_or("(null)") + ")";
}

std::int32_t cIPTCCode::hash() const
{
    std::uint32_t h = 7;
    h = 31 * h + static_cast<std::uint32_t>(mDataSetCode.value_or(0));
    h = 31 * h + static_cast<std::uint32_t>(mRecordType.value_or(0));
    return static_cast<std::int32_t>(h);
}

int cIPTCCode::compare(const cIPTCCode& other) const
{
    if (int byRecord = compareUnsigned(mRecordType, other.mRecordType))
        return byRecord;
    return compareUnsigned(mDataSetCode, other.mDataSetCode);
}

int cIPTCCode::compareByName(const cIPTCCode& other) const
{
    return UnicodeText::compareLocalized(name().value_or(""), other.name().value_or(""));
}

const std::optional<PlistDictionary>& cIPTCCode::nameToCodeDictionary()
{
    static const std::optional<PlistDictionary> table = []() -> std::optional<PlistDictionary> {
        auto value = Bundle::main().plistResource("iptcXMPCodes");
        if (!value || !value->dictionary())
            return std::nullopt;
        return *value->dictionary();
    }();
    return table;
}

const std::vector<cIPTCCode>& cIPTCCode::allCodes()
{
    static const std::vector<cIPTCCode> codes = [] {
        std::vector<const TableEntry*> entries;
        for (const auto& entry : tableEntries())
            entries.push_back(&entry);
        std::stable_sort(entries.begin(), entries.end(), [](const TableEntry* a, const TableEntry* b) {
            return UnicodeText::compareLocalizedCaseInsensitive(a->name, b->name) < 0;
        });
        std::vector<cIPTCCode> result;
        for (const TableEntry* entry : entries)
            result.emplace_back(entry->recordType ? Number(static_cast<std::int32_t>(*entry->recordType)) : std::nullopt,
                                entry->dataSet ? Number(static_cast<std::int32_t>(*entry->dataSet)) : std::nullopt);
        return result;
    }();
    return codes;
}

std::vector<cIPTCCode> cIPTCCode::allCodesSortedByName()
{
    std::vector<cIPTCCode> codes = allCodes();
    std::stable_sort(codes.begin(), codes.end(),
                     [](const cIPTCCode& a, const cIPTCCode& b) { return a.name().value_or("") < b.name().value_or(""); });
    return codes;
}

std::vector<cIPTCCode> cIPTCCode::allCodesSortedByCode()
{
    std::vector<cIPTCCode> codes = allCodes();
    std::stable_sort(codes.begin(), codes.end(), [](const cIPTCCode& a, const cIPTCCode& b) { return a.compare(b) < 0; });
    return codes;
}

void cIPTCCode::name(std::string_view name, std::int32_t& recordType, std::int32_t& dataSetCode)
{
    for (const cIPTCCode& code : allCodes()) {
        if (code.name() == name) {
            recordType = code.recordType().value_or(0);
            dataSetCode = code.dataSetCode().value_or(0);
            return;
        }
    }
}

std::optional<std::string> cIPTCCode::nameFromRecordType(Number recordType, Number dataSetCode)
{
    if (const TableEntry* entry = findEntry(recordType, dataSetCode))
        return entry->name;
    if (dataSetCode == -1)
        return std::nullopt;
    const auto unknown = nameFromRecordType(-1, -1);
    if (!unknown)
        return std::nullopt;
    return *unknown + " " + numberText(recordType) + ":" + numberText(dataSetCode);
}

std::optional<PlistValue> cIPTCCode::XMPConversionDataForRecordType(std::int32_t recordType, std::int32_t dataSetCode)
{
    const TableEntry* entry = findEntry(recordType, dataSetCode);
    if (!entry || !entry->xmpInfo)
        return std::nullopt;
    return *entry->xmpInfo;
}

bool cIPTCCode::isRepeatableIPTCCode(std::uint8_t, std::uint8_t dataSetNumber)
{
    static constexpr std::array<std::uint8_t, 10> repeatable{20, 25, 26, 27, 45, 47, 50, 85, 118, 122};
    return std::find(repeatable.begin(), repeatable.end(), dataSetNumber) != repeatable.end();
}

namespace {

cIPTCCode::Number numberFrom(const std::optional<PlistValue>& item)
{
    auto number = item ? item->asInteger() : std::nullopt;
    return number ? cIPTCCode::Number(static_cast<std::int32_t>(*number)) : std::nullopt;
}

} // namespace

void cIPTCCode::encodeWithCoder(ArchiveWriter& coder) const
{
    coder.encode(ArchiveWriter::optionalItem(mRecordType));
    coder.encode(ArchiveWriter::optionalItem(mDataSetCode));
}

std::optional<cIPTCCode> cIPTCCode::initWithCoder(ArchiveReader& coder)
{
    auto record = coder.decode();
    auto dataSet = coder.decode();
    if (!record || !dataSet)
        return std::nullopt;
    return cIPTCCode(numberFrom(record), numberFrom(dataSet));
}

} // namespace qm
