#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "textgen/PublicationStore.h"

namespace qm {

// Where a text block sits in a publication list: which publication, bylines or captions, which
// one. Text blocks read again from the settings are new objects; their place finds them.
struct TextBlockPlace {
    std::size_t publication = 0;
    bool caption = false;
    std::size_t index = 0;
    std::string name;

    static std::optional<TextBlockPlace> of(const PublicationStore::Publications& publications,
                                            const textBlockSpec::Pointer& spec);
    // The text block at this place when it has the same name; null otherwise.
    textBlockSpec::Pointer in(const PublicationStore::Publications& publications) const;
};

} // namespace qm
