#include "RecordsOutput.h"

#include <iostream>

#include "Output.h"

namespace qm::cli {

namespace {

void printText(const IPTCRecordArray& records)
{
    for (const auto& record : records) {
        const auto& code = record->IPTCcode();
        std::cout << code.recordType().value_or(0) << ':' << code.dataSetCode().value_or(0) << '\t'
                  << escapeField(code.name().value_or("")) << '\t' << escapeField(record->dataAsFormattedString())
                  << '\n';
    }
}

void printJson(const IPTCRecordArray& records)
{
    std::cout << '[';
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto& record = *records[i];
        const auto& code = record.IPTCcode();
        std::cout << (i ? ",\n " : "") << "{\"record\":" << code.recordType().value_or(0)
                  << ",\"dataset\":" << code.dataSetCode().value_or(0)
                  << ",\"name\":" << jsonString(code.name().value_or(""))
                  << ",\"value\":" << jsonString(record.dataAsFormattedString())
                  << ",\"encoding\":" << record.textEncoding() << '}';
    }
    std::cout << "]\n";
}

} // namespace

void printRecords(const IPTCRecordArray& records, bool json)
{
    json ? printJson(records) : printText(records);
}

} // namespace qm::cli
