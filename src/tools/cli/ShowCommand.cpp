// `show`: what the panel shows for each file made current in turn, with its byline and caption.
#include <iostream>
#include <optional>
#include <vector>
#include <unistd.h>

#include "Commands.h"
#include "ImageFiles.h"
#include "Output.h"
#include "TextOutput.h"
#include "app/CurrentImageSequence.h"
#include "app/CustomIPTCFilter.h"
#include "app/IPTCDisplay.h"
#include "foundation/UserDefaults.h"

namespace qm::cli {

namespace {

struct Shown {
    std::string file;
    IPTCDisplay::Result result;
};

BylineAndCaption::Texts textsOf(const Shown& shown, const ChosenTexts& chosen)
{
    return chosen.textsForImage(shown.file, shown.result.IPTCRecords.value_or(IPTCRecordArray{}));
}

void printText(const Shown& shown, bool withFileLine, const ChosenTexts& chosen, const UserDefaults& defaults)
{
    if (withFileLine)
        std::cout << "file\t" << escapeField(shown.file) << '\n';
    std::cout << "encoding\t" << shown.result.encoding << '\t'
              << escapeField(shown.result.usedXMP ? "XMP" : StringEncodings::localizedName(shown.result.encoding))
              << '\n';
    for (const auto& record : shown.result.filteredIPTCRecords.value_or(IPTCRecordArray{})) {
        const auto& code = record->IPTCcode();
        std::cout << code.recordType().value_or(0) << ':' << code.dataSetCode().value_or(0) << '\t'
                  << escapeField(CustomIPTCFilter::labelForCode(code, defaults)) << '\t'
                  << escapeField(record->dataAsFormattedString()) << '\n';
    }
    std::cout << textLines(textsOf(shown, chosen));
}

std::string jsonOf(const Shown& shown, const ChosenTexts& chosen, const UserDefaults& defaults)
{
    std::string json = "{\"file\":" + jsonString(shown.file) + ",\"encoding\":" + std::to_string(shown.result.encoding) +
                       ",\"xmp\":" + (shown.result.usedXMP ? "true" : "false") + ",\"records\":[";
    bool first = true;
    for (const auto& record : shown.result.filteredIPTCRecords.value_or(IPTCRecordArray{})) {
        const auto& code = record->IPTCcode();
        json += std::string(first ? "" : ",") + "{\"record\":" + std::to_string(code.recordType().value_or(0)) +
                ",\"dataset\":" + std::to_string(code.dataSetCode().value_or(0)) +
                ",\"label\":" + jsonString(CustomIPTCFilter::labelForCode(code, defaults)) +
                ",\"value\":" + jsonString(record->dataAsFormattedString()) + "}";
        first = false;
    }
    return json + "]," + textMembersJson(textsOf(shown, chosen)) + "}";
}

class Progress {
public:
    explicit Progress(std::size_t total) : mTotal(total), mActive(total > 1 && ::isatty(STDERR_FILENO)) {}
    ~Progress()
    {
        if (mActive)
            std::cerr << "\r\033[K" << std::flush;
    }
    void show(std::size_t done, const std::string& file)
    {
        if (mActive)
            std::cerr << "\r\033[K[" << done << '/' << mTotal << "] " << file << std::flush;
    }

private:
    std::size_t mTotal;
    bool mActive;
};

// Makes each file current in turn and prints what the panel would show, in the given order.
class ShowRun {
public:
    ShowRun(std::vector<std::string> files, std::optional<StringEncoding> encoding, UserDefaults& defaults)
        : mFiles(std::move(files)), mEncoding(encoding), mDefaults(defaults), mProgress(mFiles.size())
    {
    }

    template <typename Print>
    int run(Print print)
    {
        CurrentImageSequence(mFiles).run([&](std::size_t index, std::shared_ptr<QMMetadataParser> parser) {
            mProgress.show(index + 1, mFiles[index]);
            display(index, std::move(parser), print);
        });
        return mFailures ? 1 : 0;
    }

private:
    template <typename Print>
    void display(std::size_t index, std::shared_ptr<QMMetadataParser> parser, Print print)
    {
        if (!parser) {
            std::cerr << "quillmark-cli show: " << mFiles[index] << ": unknown type or unreadable\n";
            ++mFailures;
            return;
        }
        auto result = mEncoding ? IPTCDisplay::updateDisplayedIPTCDataWithEncoding(parser, *mEncoding, mDefaults)
                                : IPTCDisplay::updateDisplayedIPTCData(parser, mDefaults, true);
        print(Shown{mFiles[index], std::move(result)});
    }

    std::vector<std::string> mFiles;
    std::optional<StringEncoding> mEncoding;
    UserDefaults& mDefaults;
    Progress mProgress;
    int mFailures = 0;
};

} // namespace

int runShow(CommandLine& arguments, UserDefaults& defaults)
{
    const auto encodingText = arguments.takeValue("--encoding");
    const bool json = arguments.takeFlag("--json");
    const auto choice = ChosenTexts::takeChoice(arguments, false);
    const auto files = arguments.positionals();
    if (files.empty())
        throw UsageError("missing FILE");
    std::optional<StringEncoding> encoding;
    if (encodingText)
        encoding = parseEncoding(*encodingText);
    const ChosenTexts chosen(choice, defaults);
    const bool several = files.size() > 1;
    ShowRun run(files, encoding, defaults);
    if (!json)
        return run.run([&](const Shown& shown) { printText(shown, several, chosen, defaults); });
    if (several)
        std::cout << '[';
    bool first = true;
    const int status = run.run([&](const Shown& shown) {
        std::cout << (first ? "" : ",\n ") << jsonOf(shown, chosen, defaults) << std::flush;
        first = false;
    });
    std::cout << (several ? "]\n" : "\n");
    return status;
}

} // namespace qm::cli
