#include "app/PageFramePlan.h"

#include <algorithm>
#include <filesystem>

#include "app/TextFrameChecks.h"
#include "foundation/Bundle.h"

namespace qm {

namespace {

bool isFile(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

std::string fileName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

void addOnce(std::vector<std::string>& list, const std::string& item)
{
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

// The checks of the single command for this picture, as if it were the selected one; the Option
// key plays no part in a page run.
TextFrameChecks::Outcome checkedPicture(const PagePictures::Picture& picture, const textBlockSpec& spec,
                                        LayoutConnection::State state, const IPTCRecordArray& records,
                                        const std::string& applicationName)
{
    state.selectedImageExists = true;
    state.imagePath = picture.imagePath;
    const IPTCCodeSet missing = spec.missingRequiredIPTCFields(records);
    state.missingMetadata.assign(missing.begin(), missing.end());
    const TextFrameChecks::Context context{false, isFile(picture.imagePath), true, applicationName};
    return TextFrameChecks::check(state, spec, context);
}

} // namespace

PageFramePlan PageFramePlan::make(const Input& input, const LayoutConnection& connection)
{
    PageFramePlan plan;
    for (const auto& picture : input.listing.pictures)
        plan.planPicture(picture, input, connection);
    return plan;
}

void PageFramePlan::planPicture(const PagePictures::Picture& picture, const Input& input,
                                const LayoutConnection& connection)
{
    const auto found = input.recordsByImagePath.find(picture.imagePath);
    const IPTCRecordArray records = found != input.recordsByImagePath.end() ? found->second : IPTCRecordArray{};
    std::vector<Frame> made;
    Skipped problems{picture.imagePath, {}};
    for (std::size_t index = 0; index < input.textBlocks.size(); ++index) {
        textBlockSpec& spec = *input.textBlocks[index];
        const std::string role = LayoutConnection::frameRole(spec);
        if (picture.madeRoles.contains(role)) {
            ++alreadyMade;
            continue;
        }
        const auto outcome = checkedPicture(picture, spec, input.styleStates.at(index), records, input.applicationName);
        if (outcome.fatal) {
            const IPTCCodeSet missing = spec.missingRequiredIPTCFields(records);
            for (const auto& code : missing)
                addOnce(problems.reasons, code.name().value_or(code.description()));
            if (missing.empty())
                addOnce(problems.reasons, outcome.messages.back());
            continue;
        }
        noteStyleMessages(outcome.messages);
        const auto text = spec.textWithFilePath(picture.imagePath, records);
        if (!text) {
            addOnce(problems.reasons, Bundle::main().localizedString("no text"));
            continue;
        }
        made.push_back({picture.name, picture.imagePath, role, *text,
                          PageFrame{picture.name, role, connection.textFrameArguments(*text, spec, true)}});
    }
    if (!problems.reasons.empty())
        skipped.push_back(std::move(problems));
    else
        frames.insert(frames.end(), made.begin(), made.end());
}

void PageFramePlan::noteStyleMessages(const std::vector<std::string>& messages)
{
    for (const auto& message : messages)
        addOnce(styleMessages, message);
}

std::vector<PageFrame> PageFramePlan::requests() const
{
    std::vector<PageFrame> list;
    for (const auto& frame : frames)
        list.push_back(frame.request);
    return list;
}

std::vector<std::string> PageFramePlan::skippedLines() const
{
    std::vector<std::string> lines;
    for (const auto& picture : skipped) {
        std::string reasons;
        for (const auto& reason : picture.reasons)
            reasons += (reasons.empty() ? "" : ", ") + reason;
        lines.push_back(fileName(picture.imagePath) + ": " + reasons);
    }
    return lines;
}

} // namespace qm
