#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "foundation/StringEncodings.h"
#include "metadata/cIPTCRecord.h"
#include "metadata/simpleDataStream.h"

namespace qm::cli {

namespace {

std::vector<std::uint8_t> readWholeFile(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw InputError("cannot read " + path + ": it is a folder");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw InputError("cannot read " + path + ": " + std::strerror(errno));
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw InputError("cannot read " + path);
    if (bytes.size() > 0xFFFFFFFFu)
        throw InputError(path + " is too large for an IIM block");
    return bytes;
}

StringEncoding encodingArgument(const std::string& text)
{
    const auto encoding = static_cast<StringEncoding>(parseUnsigned(text, "encoding"));
    if (!StringEncodings::isAvailable(encoding))
        throw InputError("unknown encoding " + text + " (see `quillmark-cli encodings`)");
    return encoding;
}

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

int runRecords(CommandLine& arguments, UserDefaults&)
{
    const auto iimFile = arguments.takeValue("--iim");
    const auto encoding = arguments.takeValue("--encoding");
    const bool json = arguments.takeFlag("--json");
    if (!arguments.positionals().empty())
        throw UsageError("unexpected argument " + arguments.positionals().front());
    if (!iimFile)
        throw UsageError("give the IIM block with --iim FILE");

    const auto chosenEncoding = encoding ? std::optional(encodingArgument(*encoding)) : std::nullopt;
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(readWholeFile(*iimFile));
    simpleDataStream stream(bytes);
    IPTCRecordArray records = cIPTCRecord::IPTCRecordsFromStream(stream, stream.streamByteCount());
    if (chosenEncoding)
        for (auto& record : records)
            record->setTextEncoding(*chosenEncoding);
    json ? printJson(records) : printText(records);
    return 0;
}

} // namespace qm::cli
