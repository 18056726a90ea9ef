#include "app/BylineAndCaption.h"

#include <charconv>

#include "foundation/UserDefaults.h"

namespace qm {

namespace {

std::optional<std::size_t> indexOf(const std::string& text)
{
    std::size_t index = 0;
    const auto end = text.data() + text.size();
    const auto parsed = std::from_chars(text.data(), end, index);
    if (text.empty() || parsed.ec != std::errc() || parsed.ptr != end)
        return std::nullopt;
    return index;
}

// By name first, so that a publication named "2" is found by its name.
quillmarkPublication::Pointer publicationNamed(const PublicationStore::Publications& publications,
                                               const std::string& nameOrIndex, std::string& error)
{
    for (const auto& publication : publications)
        if (publication && publication->name() == nameOrIndex)
            return publication;
    if (const auto index = indexOf(nameOrIndex); index && *index < publications.size() && publications[*index])
        return publications[*index];
    error = "no publication is named \"" + nameOrIndex + "\"";
    if (indexOf(nameOrIndex))
        error += " or has that index (there are " + std::to_string(publications.size()) + ")";
    return nullptr;
}

template <typename Spec>
textBlockSpec::Pointer chosenSpec(const std::vector<std::shared_ptr<Spec>>& specs, const std::optional<std::string>& name,
                                  const textBlockSpec::Pointer& fallback, const quillmarkPublication& publication,
                                  const char* kind, std::string& error)
{
    if (!name)
        return fallback;
    for (const auto& spec : specs)
        if (spec && BylineAndCaption::isOffered(*spec) && spec->name() == *name)
            return spec;
    error = "the publication \"" + publication.name() + "\" has no " + kind + " named \"" + *name + "\"";
    return nullptr;
}

} // namespace

std::optional<BylineAndCaption> BylineAndCaption::choose(const PublicationStore::Publications& publications,
                                                         const Choice& choice, const UserDefaults& defaults,
                                                         std::string& error)
{
    BylineAndCaption chosen;
    chosen.mPublication = choice.publication ? publicationNamed(publications, *choice.publication, error)
                                             : PublicationStore::currentPublication(publications, defaults);
    if (choice.publication && !chosen.mPublication)
        return std::nullopt;
    if (!chosen.mPublication) {
        if (!choice.byline && !choice.caption)
            return chosen;
        error = "there is no current publication (currentPublicationIndex is " +
                std::to_string(defaults.integerForKey(PublicationStore::CurrentPublicationIndexKey)) + ", there are " +
                std::to_string(publications.size()) + " publications)";
        return std::nullopt;
    }
    const quillmarkPublication& publication = *chosen.mPublication;
    chosen.mByline = chosenSpec(publication.bylines(), choice.byline, publication.defaultBylineSpec(), publication,
                                "byline", error);
    if (choice.byline && !chosen.mByline)
        return std::nullopt;
    chosen.mCaption = chosenSpec(publication.captions(), choice.caption, publication.defaultCaptionSpec(), publication,
                                 "caption", error);
    if (choice.caption && !chosen.mCaption)
        return std::nullopt;
    return chosen;
}

BylineAndCaption::Texts BylineAndCaption::textsForImage(const std::optional<std::string>& path,
                                                        const IPTCRecordArray& records) const
{
    Texts texts;
    if (mByline)
        texts.byline = mByline->textWithFilePath(path, records);
    if (mCaption)
        texts.caption = mCaption->textWithFilePath(path, records);
    return texts;
}

} // namespace qm
