#pragma once

#include <optional>
#include <vector>

#include "foundation/PlistValue.h"
#include "textgen/quillmarkPublication.h"

namespace qm {

class UserDefaults;

// The publication list kept in the user default "publications" (a sequential archive holding
// the array of publications), and the current publication ("currentPublicationIndex").
class PublicationStore {
public:
    using Publications = std::vector<quillmarkPublication::Pointer>;

    static constexpr const char* PublicationsKey = "publications";
    static constexpr const char* CurrentPublicationIndexKey = "currentPublicationIndex";

    // The stored list; empty when there is none or it does not read (logged).
    static Publications publications(const UserDefaults& defaults);
    // False (logged) when the list cannot be archived or stored.
    static bool setPublications(const Publications& publications, UserDefaults& defaults);

    // The list in its stored form, and back.
    static std::optional<PlistData> archivedPublications(const Publications& publications);
    static std::optional<Publications> publicationsFromArchive(const PlistData& data);

    // The publication at "currentPublicationIndex"; none when the index is out of range.
    static quillmarkPublication::Pointer currentPublication(const Publications& publications,
                                                            const UserDefaults& defaults);
};

} // namespace qm
