#include "ui/TextBlockPlace.h"

namespace qm {

namespace {

template <typename Specs>
std::optional<std::size_t> indexOf(const Specs& specs, const textBlockSpec::Pointer& spec)
{
    for (std::size_t index = 0; index < specs.size(); ++index)
        if (specs[index].get() == spec.get())
            return index;
    return std::nullopt;
}

} // namespace

std::optional<TextBlockPlace> TextBlockPlace::of(const PublicationStore::Publications& publications,
                                                 const textBlockSpec::Pointer& spec)
{
    if (!spec)
        return std::nullopt;
    for (std::size_t publication = 0; publication < publications.size(); ++publication) {
        if (const auto index = indexOf(publications[publication]->bylines(), spec))
            return TextBlockPlace{publication, false, *index, spec->name()};
        if (const auto index = indexOf(publications[publication]->captions(), spec))
            return TextBlockPlace{publication, true, *index, spec->name()};
    }
    return std::nullopt;
}

textBlockSpec::Pointer TextBlockPlace::in(const PublicationStore::Publications& publications) const
{
    if (publication >= publications.size())
        return nullptr;
    const auto& holder = *publications[publication];
    textBlockSpec::Pointer found;
    if (caption && index < holder.captions().size())
        found = holder.captions()[index];
    else if (!caption && index < holder.bylines().size())
        found = holder.bylines()[index];
    return found && found->name() == name ? found : nullptr;
}

} // namespace qm
