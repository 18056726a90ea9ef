#pragma once

#include <string>

#include "metadata/cIPTCRecord.h"

namespace qm::test {

// "R:D=bytes@encoding " for each record, in order: what a test compares records by.
inline std::string recordSummary(const IPTCRecordArray& records)
{
    std::string result;
    for (const auto& r : records) {
        const cIPTCRecord::Bytes data = r->data().value_or(cIPTCRecord::Bytes{});
        result += std::to_string(*r->IPTCcode().recordType()) + ":" + std::to_string(*r->IPTCcode().dataSetCode()) +
                  "=" + std::string(data.begin(), data.end()) + "@" + std::to_string(r->textEncoding()) + " ";
    }
    return result;
}

} // namespace qm::test
