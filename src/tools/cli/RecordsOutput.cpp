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

void printJsonArray(const IPTCRecordArray& records)
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
    std::cout << ']';
}

} // namespace

void printRecords(const IPTCRecordArray& records, bool json)
{
    if (!json)
        return printText(records);
    printJsonArray(records);
    std::cout << '\n';
}

void printRecordsWithEncoding(const IPTCRecordArray& records, StringEncoding encoding)
{
    std::cout << "{\"encoding\":" << encoding << ",\"records\":";
    printJsonArray(records);
    std::cout << "}\n";
}

} // namespace qm::cli
