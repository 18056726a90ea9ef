#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Error.h"

namespace qm {

class UserDefaults;

// A shared publication settings file: a property list of exported settings from which the
// publications and the text decoding settings are imported.
class PublicationSettingsFile {
public:
    enum class ImportOutcome { Imported, NotADictionary, Missing };

    // The keys taken from a settings file, in the order they are imported.
    static const std::vector<std::string>& importedKeys();

    // Stores each listed key the file has. A missing file (or no path) is told in an alert unless
    // "alertMissingPublicationSettingsFile" is off; ticking the alert's suppression box turns it off.
    static ImportOutcome importTextExtractionSettingsFromFile(const std::optional<std::string>& path,
                                                              UserDefaults& defaults);

    // Every setting, registered ones included, written atomically as an XML property list.
    static bool exportSettingsToFile(const std::filesystem::path& path, const UserDefaults& defaults, Error* error);

private:
    static void alertMissingFile(const std::optional<std::string>& path, UserDefaults& defaults);
};

} // namespace qm
