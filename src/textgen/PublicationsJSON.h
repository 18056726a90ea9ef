#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "textgen/PublicationStore.h"

namespace qm {

// The publication list as a readable JSON file, for keeping rules under version control and
// sharing them: {"publications": [...]}, every field under its own name, the rules' numbers
// written as their identifiers ("conditionContains") and fields as "2:120" or the artificial
// fields' identifiers ("matchedIPTCField").
class PublicationsJSON {
public:
    using Publications = PublicationStore::Publications;

    struct ImportResult {
        std::optional<Publications> publications; // absent when the file is refused
        // Why the file is refused: "<element>: <problem>", the element written as
        // publications[0].bylines[1].textConcatSpecs[2].condition; "line L, column C: <problem>"
        // when the file is not JSON.
        std::string error;
        explicit operator bool() const { return publications.has_value(); }
    };

    // Two-space indentation, keys in the classes' field order, every field written (null when
    // absent), a line feed at the end. Reading it back gives the same text again.
    static std::string exportPublications(const Publications& publications);

    // The publications of a file, or why it is refused as a whole. Fields a file leaves out take
    // the defaults of a new rule, text block or publication. A text block keeps the file's
    // "uniqueIDString" unless a live text block has it; it then gets a fresh identifier and the
    // publication's default identifier follows it. "defaultByline" / "defaultCaption" name a text
    // block of the publication instead of giving its identifier.
    static ImportResult importPublications(std::string_view json);
};

} // namespace qm
