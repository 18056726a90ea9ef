#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "foundation/PlistValue.h"

namespace qm {

// The settings file that many processes share. A save takes an advisory lock on "<file>.lock",
// reads what the file holds then, puts this process's changed keys on top and renames the result
// over the file, so no writer loses another's keys.
class SettingsFile {
public:
    // Changed keys: a value to store, or none for a key to remove.
    using Changes = std::map<std::string, std::optional<PlistValue>, std::less<>>;

    enum class Failure { None, ReadOnly, Locked, Unwritable };

    struct Contents {
        PlistDictionary values; // empty when the file is missing or cannot be read
        bool unreadable = false; // the file is there but holds no readable dictionary
    };

    explicit SettingsFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return mPath; }
    std::filesystem::path lockPath() const;

    // What the file holds now (no lock needed: every save renames a complete file into place).
    Contents read() const;
    // True when the file exists and may not be written: it is never replaced.
    bool isReadOnly() const;
    // Keeps a copy of the unreadable file as "<file>.corrupt" (".corrupt.1", ... when taken by other
    // contents); an existing copy with the same contents is reused. None when no copy could be made.
    std::optional<std::filesystem::path> keepUnreadableCopy() const;

    // Applies the changes on top of what the file holds and saves it. Where the file cannot be read,
    // a copy of it is kept and `whenUnreadable` is the base. The values now stored come back in
    // `stored`. Temporary files of earlier saves that were killed are removed.
    Failure write(const Changes& changes, const PlistDictionary& whenUnreadable, PlistDictionary& stored) const;

    // A sentence for the user about a failure, naming the file.
    std::string describe(Failure failure) const;

private:
    void removeStaleTemporaryFiles() const;

    std::filesystem::path mPath;
};

// Applies changes to a dictionary: a value is stored, none removes the key.
void applyChanges(PlistDictionary& values, const SettingsFile::Changes& changes);

} // namespace qm
