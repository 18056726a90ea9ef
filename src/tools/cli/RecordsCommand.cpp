#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "RecordsOutput.h"
#include "app/TextDecoding.h"
#include "foundation/StringEncodings.h"
#include "foundation/UserDefaults.h"
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

} // namespace

int runRecords(CommandLine& arguments, UserDefaults& defaults)
{
    const auto iimFile = arguments.takeValue("--iim");
    const auto encoding = arguments.takeValue("--encoding");
    const bool guess = arguments.takeFlag("--guess");
    const bool repair = arguments.takeFlag("--repair");
    const bool json = arguments.takeFlag("--json");
    if (!arguments.positionals().empty())
        throw UsageError("unexpected argument " + arguments.positionals().front());
    if (!iimFile)
        throw UsageError("give the IIM block with --iim FILE");
    if (encoding && guess)
        throw UsageError("--encoding and --guess exclude each other");

    const auto chosenEncoding = encoding ? std::optional(encodingArgument(*encoding)) : std::nullopt;
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(readWholeFile(*iimFile));
    simpleDataStream stream(bytes);
    IPTCRecordArray records = cIPTCRecord::IPTCRecordsFromStream(stream, stream.streamByteCount());
    std::optional<StringEncoding> applied = chosenEncoding;
    if (guess)
        applied = TextDecoding::guessTextEncodingOfIPTCRecords(records, defaults);
    if (applied)
        records = TextDecoding::recordsWithEncoding(records, *applied);
    if (repair && defaults.boolForKey("detectUTF8Corruption"))
        records = TextDecoding::convertCorruptUTF8(records, defaults);
    if (json && guess)
        printRecordsWithEncoding(records, *applied);
    else
        printRecords(records, json);
    return 0;
}

} // namespace qm::cli
