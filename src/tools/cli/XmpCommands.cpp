#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <utility>

#include "CommandLine.h"
#include "RecordsOutput.h"
#include "foundation/StringEncodings.h"
#include "metadata/cIPTCRecord.h"
#include "parsers/XMPtoIPTCconverter.h"

namespace qm {
class UserDefaults;
}

namespace qm::cli {

namespace {

std::string readAll(std::istream& in)
{
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes of FILE, or of standard input for "-".
std::string readPacket(const std::string& path)
{
    if (path == "-")
        return readAll(std::cin);
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        throw InputError("cannot read " + path + ": it is a folder");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw InputError("cannot read " + path + ": " + std::strerror(errno));
    std::string bytes = readAll(file);
    if (file.bad())
        throw InputError("cannot read " + path);
    return bytes;
}

std::optional<std::uint8_t> byteNumber(std::string_view text)
{
    unsigned value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value > 255)
        return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

// "R:D", e.g. 2:120.
std::pair<std::uint8_t, std::uint8_t> codeArgument(const std::string& text)
{
    const auto colon = text.find(':');
    const auto record = byteNumber(std::string_view(text).substr(0, colon));
    const auto dataSet = colon == std::string::npos ? std::nullopt : byteNumber(text.substr(colon + 1));
    if (!record || !dataSet)
        throw InputError("bad code " + text + ": give it as RECORD:DATASET with numbers up to 255, e.g. 2:120");
    return {*record, *dataSet};
}

StringEncoding encodingArgument(const std::optional<std::string>& text)
{
    if (!text)
        return Encoding::UTF8;
    const auto encoding = static_cast<StringEncoding>(parseUnsigned(*text, "encoding"));
    if (!StringEncodings::isAvailable(encoding))
        throw InputError("unknown encoding " + *text + " (see `quillmark-cli encodings`)");
    return encoding;
}

cIPTCRecord recordArgument(const std::string& codeText, const std::string& text, StringEncoding encoding)
{
    const auto [recordType, dataSet] = codeArgument(codeText);
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
    const std::string packet = readPacket(positionals.empty() ? "-" : positionals.front());
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
    const std::string packet = readPacket(positionals[0]);
    // Exactly the bytes answered, so an unchanged packet compares equal to the file.
    const std::string updated = XMPtoIPTCconverter::updateXMP(packet, record);
    std::cout.write(updated.data(), static_cast<std::streamsize>(updated.size()));
    std::cout.flush();
    return 0;
}

} // namespace qm::cli
