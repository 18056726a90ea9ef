#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "ImageFiles.h"
#include "RecordsOutput.h"
#include "app/TextDecoding.h"
#include "foundation/StringEncodings.h"
#include "foundation/UserDefaults.h"
#include "metadata/cIPTCRecord.h"
#include "metadata/simpleDataStream.h"

namespace qm::cli {

namespace {

std::vector<std::uint8_t> readBlock(const std::string& path)
{
    const std::string bytes = readInputFile(path);
    if (bytes.size() > 0xFFFFFFFFu)
        throw InputError(path + " is too large for an IIM block");
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

} // namespace

namespace {

IPTCRecordArray recordsOfBlock(const std::string& path)
{
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(readBlock(path));
    simpleDataStream stream(bytes);
    return cIPTCRecord::IPTCRecordsFromStream(stream, stream.streamByteCount());
}

IPTCRecordArray recordsOfImage(const std::string& path, bool fromXMP)
{
    auto parser = openParsedImage(path);
    auto records = fromXMP ? parser->IPTCRecordsFromXMP() : parser->IPTCRecords();
    return records.value_or(IPTCRecordArray{});
}

} // namespace

int runRecords(CommandLine& arguments, UserDefaults& defaults)
{
    const auto iimFile = arguments.takeValue("--iim");
    const auto encoding = arguments.takeValue("--encoding");
    const bool guess = arguments.takeFlag("--guess");
    const bool repair = arguments.takeFlag("--repair");
    const bool fromXMP = arguments.takeFlag("--xmp");
    const bool json = arguments.takeFlag("--json");
    const auto positionals = arguments.positionals();
    if (positionals.size() > (iimFile ? 0u : 1u))
        throw UsageError("unexpected argument " + positionals.back());
    if (!iimFile && positionals.empty())
        throw UsageError("give an image FILE or an IIM block with --iim FILE");
    if (encoding && guess)
        throw UsageError("--encoding and --guess exclude each other");
    if (iimFile && fromXMP)
        throw UsageError("an IIM block has no XMP");

    const auto chosenEncoding = encoding ? std::optional(parseEncoding(*encoding)) : std::nullopt;
    IPTCRecordArray records = iimFile ? recordsOfBlock(*iimFile) : recordsOfImage(positionals.front(), fromXMP);
    // Records converted from XMP are UTF-8 text: no other encoding applies to them.
    std::optional<StringEncoding> applied = fromXMP ? std::optional(Encoding::UTF8) : chosenEncoding;
    if (guess && !fromXMP)
        applied = TextDecoding::guessTextEncodingOfIPTCRecords(records, defaults);
    if (applied && !fromXMP)
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
