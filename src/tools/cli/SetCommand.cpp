// `set` and `dump-segments`: writing an image file's datasets, and looking at a JPEG's segments.
#include <algorithm>
#include <iostream>
#include <unistd.h>

#include "Commands.h"
#include "ImageFiles.h"
#include "app/TextDecoding.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMMetadataParser_JPG.h"

namespace qm::cli {

namespace {

struct Assignment {
    cIPTCCode code;
    std::string text;
};

Assignment assignmentArgument(const std::string& argument)
{
    const auto equals = argument.find('=');
    if (equals == std::string::npos)
        throw UsageError("expected R:D=TEXT, got " + argument);
    const auto [record, dataSet] = parseCode(argument.substr(0, equals));
    return {cIPTCCode(record, dataSet), argument.substr(equals + 1)};
}

// The record of that code, added at the end when the file has none yet.
std::shared_ptr<cIPTCRecord> recordFor(IPTCRecordArray& records, const cIPTCCode& code, StringEncoding encoding)
{
    auto found = std::find_if(records.begin(), records.end(), [&](const auto& r) { return r->IPTCcode() == code; });
    if (found != records.end())
        return *found;
    auto added = std::make_shared<cIPTCRecord>();
    added->setIPTCcode(code);
    added->setTextEncoding(encoding);
    records.push_back(added);
    return added;
}

// The length rules of the dataset where it has them, else the text as it is.
void setText(cIPTCRecord& record, const std::string& text)
{
    const std::string label = record.IPTCcode().reversedDescription();
    if (record.IPTCcode().recordType() != 2 || !record.isEditableAsString())
        throw InputError(label + " cannot be set from text");
    const auto before = record.data();
    record.setString(text);
    if (record.data() == before)
        record.setDataFromString(text);
    if (!record.data())
        throw InputError("the text for " + label + " cannot be written in the file's encoding (" +
                         StringEncodings::localizedName(record.textEncoding()) + ")");
}

// Each text dataset's bytes, read in the encoding guessed for the file, stored again in `target`; a
// UTF-8 marker goes when the texts are no longer UTF-8.
void convertTexts(IPTCRecordArray& records, StringEncoding target)
{
    if (target != Encoding::UTF8)
        std::erase_if(records, [](const auto& record) { return record->isUTF8EncodingMarker(); });
    for (auto& record : records) {
        if (record->IPTCcode().recordType() == 2 && record->isEditableAsString() && record->data()) {
            const auto text = StringEncodings::decode(*record->data(), record->textEncoding());
            auto bytes = text ? StringEncodings::encode(*text, target) : std::nullopt;
            if (!bytes)
                throw InputError("the text of " + record->IPTCcode().reversedDescription() + " cannot be written in " +
                                 StringEncodings::localizedName(target));
            record->setData(std::move(*bytes));
        }
        record->setTextEncoding(target);
    }
}

void applyAssignments(QMMetadataParser& parser, const std::vector<Assignment>& assignments, bool updateXMP,
                      std::optional<StringEncoding> storedEncoding, const UserDefaults& defaults)
{
    IPTCRecordArray records = parser.IPTCRecords().value_or(IPTCRecordArray{});
    const StringEncoding guessed = TextDecoding::guessTextEncodingOfIPTCRecords(records, defaults);
    for (auto& record : records)
        record->setTextEncoding(guessed);
    if (storedEncoding)
        convertTexts(records, *storedEncoding);
    const StringEncoding encoding = storedEncoding.value_or(guessed);
    for (const auto& assignment : assignments) {
        auto record = recordFor(records, assignment.code, encoding);
        setText(*record, assignment.text);
        if (updateXMP)
            parser.updateXMPForIPTCRecord(*record);
    }
    parser.setIPTCRecords(records);
    if (!assignments.empty() && !parser.IPTCRecords())
        throw InputError(parser.path().string() + " has no IPTC block to write into");
}

} // namespace

int runSet(CommandLine& arguments, UserDefaults& defaults)
{
    const auto out = arguments.takeValue("--out");
    const bool updateXMP = arguments.takeFlag("--xmp");
    const bool viaImageLibrary = arguments.takeFlag("--via-image-library");
    const auto encoding = arguments.takeValue("--encoding");
    auto positionals = arguments.positionals();
    if (positionals.empty())
        throw UsageError("missing FILE");
    std::vector<Assignment> assignments;
    for (std::size_t i = 1; i < positionals.size(); ++i)
        assignments.push_back(assignmentArgument(positionals[i]));

    const std::string file = positionals.front();
    if (::access(file.c_str(), out ? R_OK : R_OK | W_OK) != 0)
        throw InputError("cannot " + std::string(out ? "read " : "write ") + file);
    auto parser = openParsedImage(file);
    applyAssignments(*parser, assignments, updateXMP, encoding ? std::optional(parseEncoding(*encoding)) : std::nullopt,
                     defaults);
    if (!viaImageLibrary && !parser->writesBypassingCoreGraphics() && parser->fileType() != QMFileTypeTIFF)
        throw InputError(file + ": " + fileTypeName(parser->fileType()) + " files cannot be written");
    Error error;
    if (!parser->updateFileToURL(out.value_or(file), viaImageLibrary, 1.0, &error))
        throw InputError(error.localizedDescription.empty()
                             ? file + ": " + fileTypeName(parser->fileType()) + " files cannot be written"
                             : error.localizedDescription);
    return 0;
}

int runDumpSegments(CommandLine& arguments, UserDefaults&)
{
    const bool custom = arguments.takeFlag("--custom");
    const bool appOnly = arguments.takeFlag("--app-only");
    const auto positionals = arguments.positionals();
    if (positionals.size() != 2)
        throw UsageError("give FILE and PREFIX");
    auto jpeg = std::dynamic_pointer_cast<QMMetadataParser_JPG>(openParsedImage(positionals[0]));
    if (!jpeg)
        throw InputError(positionals[0] + ": not a JPEG file");
    jpeg->dumpJpegSegments(positionals[1], custom, appOnly);
    return 0;
}

} // namespace qm::cli
