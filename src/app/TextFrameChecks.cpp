#include "app/TextFrameChecks.h"

#include "foundation/Bundle.h"
#include "foundation/StringFormat.h"
#include "textgen/textBlockSpec.h"

namespace qm {

namespace {

std::string localized(const char* key)
{
    return Bundle::main().localizedString(key);
}

// The first failing test of the chain, in order; none when every one passes.
std::optional<std::string> stoppingMessage(const TextFrameChecks::Findings& findings,
                                           const TextFrameChecks::Context& context)
{
    const std::string& application = context.applicationName;
    if (!findings.isRunning)
        return formatText(localized("Indesign isn't running"), {application});
    if (!findings.openDocumentExists)
        return formatText(localized("No Indesign documents are open"), {application});
    if (!findings.selectedImageExists)
        return formatText(localized("Nothing is selected in Indesign"), {application});
    const bool hasImagePath = findings.imagePath && !findings.imagePath->empty();
    if (!hasImagePath && !context.optionKeyDown)
        return formatText(localized("The selected frame in Indesign doesn't contain an image"), {application});
    if (hasImagePath && !context.imageFileExists && !context.optionKeyDown)
        return formatText(localized("The image file %@ can't be found"), {*findings.imagePath});
    return std::nullopt;
}

void addMissingStyle(std::vector<std::string>& messages, bool exists, const std::optional<std::string>& name,
                     const char* key, const std::string& application)
{
    if (!exists && name && !name->empty())
        messages.push_back(formatText(localized(key), {*name, application}));
}

std::string fieldNames(const std::vector<cIPTCCode>& codes)
{
    std::string names;
    for (const auto& code : codes)
        names += (names.empty() ? "" : ", ") + code.name().value_or(code.description());
    return names;
}

} // namespace

TextFrameChecks::Outcome TextFrameChecks::check(const Findings& findings, const textBlockSpec& spec,
                                                const Context& context)
{
    Outcome outcome;
    if (auto message = stoppingMessage(findings, context)) {
        outcome.messages.push_back(std::move(*message));
        outcome.fatal = true;
        return outcome;
    }
    const bool complete = findings.paragraphStyleExists && findings.objectStyleExists && findings.colorSwatchExists &&
                          findings.missingMetadata.empty();
    if (complete || !context.alertMissingStyles)
        return outcome;
    const std::string& application = context.applicationName;
    addMissingStyle(outcome.messages, findings.paragraphStyleExists, spec.paragraphStyleName(),
                    "The Indesign paragraph style \"%@\" doesn't exist.", application);
    addMissingStyle(outcome.messages, findings.objectStyleExists, spec.objectStyleName(),
                    "The Indesign object style \"%@\" doesn't exist.", application);
    addMissingStyle(outcome.messages, findings.colorSwatchExists, spec.textColorSwatchName(),
                    "The Indesign color swatch \"%@\" doesn't exist.", application);
    if (!findings.missingMetadata.empty() && !context.optionKeyDown) {
        outcome.messages.push_back(formatText(
            localized("The following required metadata fields are missing in the image file: %@\r"),
            {fieldNames(findings.missingMetadata)}));
        outcome.fatal = true;
    }
    return outcome;
}

TextFrameChecks::Outcome TextFrameChecks::missingParagraphStyle(const std::string& style,
                                                                const std::string& applicationName)
{
    Outcome outcome;
    addMissingStyle(outcome.messages, false, style, "The Indesign paragraph style \"%@\" doesn't exist.",
                    applicationName);
    return outcome;
}

Alert TextFrameChecks::alertFor(const Outcome& outcome)
{
    Alert alert;
    alert.windowTitle = localized("Quillmark error");
    alert.messageText = localized(outcome.fatal ? "The text can't be created." : "The text may not look as expected.");
    alert.buttonTitles = {localized("OK")};
    for (const auto& message : outcome.messages)
        alert.informativeText += (alert.informativeText.empty() ? "" : "\r") + message;
    alert.showsSuppressionButton = true;
    return alert;
}

} // namespace qm
