#include "TextOutput.h"

#include "Output.h"
#include "foundation/UserDefaults.h"

namespace qm::cli {

namespace {

BylineAndCaption chosen(const PublicationStore::Publications& publications, const BylineAndCaption::Choice& choice,
                        const UserDefaults& defaults)
{
    std::string error;
    auto chosen = BylineAndCaption::choose(publications, choice, defaults, error);
    if (!chosen)
        throw InputError(error);
    return *chosen;
}

std::string lineOf(const char* label, const std::optional<std::string>& text)
{
    return std::string(label) + '\t' + (text ? escapeField(*text) : "-") + '\n';
}

std::string jsonOf(const std::optional<std::string>& text)
{
    return text ? jsonString(*text) : "null";
}

} // namespace

BylineAndCaption::Choice ChosenTexts::takeChoice(CommandLine& arguments, bool withPublication)
{
    BylineAndCaption::Choice choice;
    if (withPublication)
        choice.publication = arguments.takeValue("--publication");
    choice.byline = arguments.takeValue("--byline");
    choice.caption = arguments.takeValue("--caption");
    return choice;
}

ChosenTexts::ChosenTexts(const BylineAndCaption::Choice& choice, const UserDefaults& defaults)
    : mPublications(PublicationStore::publications(defaults)), mChosen(chosen(mPublications, choice, defaults))
{
}

std::string textLines(const BylineAndCaption::Texts& texts)
{
    return lineOf("byline", texts.byline) + lineOf("caption", texts.caption);
}

std::string textMembersJson(const BylineAndCaption::Texts& texts)
{
    return "\"byline\":" + jsonOf(texts.byline) + ",\"caption\":" + jsonOf(texts.caption);
}

} // namespace qm::cli
