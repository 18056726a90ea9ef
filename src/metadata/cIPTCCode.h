#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/ArchiveReader.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/PlistValue.h"

namespace qm {

// Identifies one IIM dataset by record number and dataset number (2:120 is the caption)
// and names it from the dataset table resource "iptcXMPCodes".
class cIPTCCode {
public:
    using Number = std::optional<std::int32_t>;

    cIPTCCode() = default; // both numbers absent
    cIPTCCode(Number recordType, Number dataSetCode);

    static cIPTCCode IPTCCode() { return {}; }
    static cIPTCCode IPTCCodeWithRecordType(Number recordType, Number dataSetCode);

    Number recordType() const { return mRecordType; }
    Number dataSetCode() const { return mDataSetCode; }
    void setRecordType(Number recordType) { mRecordType = recordType; }
    void setDataSetCode(Number dataSetCode) { mDataSetCode = dataSetCode; }

    // The table's name, "<unknown name> R:D" for a dataset it lacks, nothing for dataset -1.
    std::optional<std::string> name() const;
    std::string description() const;         // "Caption/Abstract (2:120)"
    std::string reversedDescription() const; // "2:120 (Caption/Abstract)"

    std::int32_t hash() const;
    bool operator==(const cIPTCCode& other) const { return hash() == other.hash(); }
    // Negative, zero or positive: by record number, then dataset number, as unsigned values.
    int compare(const cIPTCCode& other) const;
    int compareByName(const cIPTCCode& other) const;

    // The dataset table, loaded once; absent when the resource is missing.
    static const std::optional<PlistDictionary>& nameToCodeDictionary();
    static const std::vector<cIPTCCode>& allCodes();
    static std::vector<cIPTCCode> allCodesSortedByName();
    static std::vector<cIPTCCode> allCodesSortedByCode();
    // Leaves the out values untouched when no code has that name.
    static void name(std::string_view name, std::int32_t& recordType, std::int32_t& dataSetCode);
    static std::optional<std::string> nameFromRecordType(Number recordType, Number dataSetCode);
    static std::optional<PlistValue> XMPConversionDataForRecordType(std::int32_t recordType, std::int32_t dataSetCode);
    static bool isRepeatableIPTCCode(std::uint8_t recordType, std::uint8_t dataSetNumber);

    // Archived as two values in order: the record number, then the dataset number.
    static constexpr const char* ArchiveClassName = "cIPTCCode";
    std::string archiveClassName() const { return ArchiveClassName; }
    std::int64_t archiveVersion() const { return 1; }
    void encodeWithCoder(ArchiveWriter& coder) const;
    static std::optional<cIPTCCode> initWithCoder(ArchiveReader& coder);

private:
    Number mRecordType;
    Number mDataSetCode;
};

} // namespace qm
