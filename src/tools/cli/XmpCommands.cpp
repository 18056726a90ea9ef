#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <utility>

#include "CommandLine.h"
#include "ImageFiles.h"
#include "RecordsOutput.h"
#include "foundation/StringEncodings.h"
#include "metadata/cIPTCRecord.h"
#include "parsers/XMPtoIPTCconverter.h"

namespace qm {
class UserDefaults;
}

namespace qm::cli {

namespace {

StringEncoding encodingArgument(const std::optional<std::string>& text)
{
    return text ? parseEncoding(*text) : Encoding::UTF8;
}

cIPTCRecord recordArgument(const std::string& codeText, const std::string& text, StringEncoding encoding)
{
    const auto [recordType, dataSet] = parseCode(codeText);
    auto bytes = StringEncodings::encode(text, encoding);
    if (!bytes)
        throw InputError("the text cannot be written in encoding " + std::to_string(encoding));
    cIPTCRecord record(recordType, dataSet, std::move(*bytes));
    record.setTextEncoding(encoding);
    return record;
}

} // namespace

int runXmpRecords(CommandLine& arguments, UserDefaults&)
{
    const bool json = arguments.takeFlag("--json");
    const auto positionals = arguments.positionals();
    if (positionals.size() > 1)
        throw UsageError("unexpected argument " + positionals[1]);
    const std::string packet = readInputFile(positionals.empty() ? "-" : positionals.front());
    printRecords(XMPtoIPTCconverter::XMPToIPTCRecordArray(packet).value_or(IPTCRecordArray{}), json);
    return 0;
}

int runXmpUpdate(CommandLine& arguments, UserDefaults&)
{
    const auto encodingText = arguments.takeValue("--encoding");
    const auto positionals = arguments.positionals();
    if (positionals.size() != 3)
        throw UsageError("give FILE R:D TEXT");
    const cIPTCRecord record = recordArgument(positionals[1], positionals[2], encodingArgument(encodingText));
    const std::string packet = readInputFile(positionals[0]);
    // Exactly the bytes answered, so an unchanged packet compares equal to the file.
    const std::string updated = XMPtoIPTCconverter::updateXMP(packet, record);
    std::cout.write(updated.data(), static_cast<std::streamsize>(updated.size()));
    std::cout.flush();
    return 0;
}

} // namespace qm::cli
