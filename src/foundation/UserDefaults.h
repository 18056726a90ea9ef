#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/PlistValue.h"

namespace qm {

// The user's settings: a registration domain under a persistent domain kept as a property-list
// file. Every change is saved atomically at once; observers hear of every change of a key.
class UserDefaults {
public:
    using Observer = std::function<void(const std::string& key, const std::optional<PlistValue>& newValue)>;
    using ObserverId = std::uint64_t;

    // The process's settings, kept in defaultFilePath().
    static UserDefaults& standard();
    // $QUILLMARK_DEFAULTS, else $XDG_CONFIG_HOME/quillmark/defaults.plist, else ~/.config/quillmark/defaults.plist.
    static std::filesystem::path defaultFilePath();

    // Loads the persistent domain from the file (a missing file is an empty domain).
    explicit UserDefaults(std::filesystem::path file);

    const std::filesystem::path& filePath() const { return mFilePath; }

    // Merges into the registration domain; never overrides a stored value.
    void registerDefaults(const PlistDictionary& values);

    // The stored value, else the registered one.
    std::optional<PlistValue> object(std::string_view key) const;
    bool boolForKey(std::string_view key) const;           // false when absent
    std::int64_t integerForKey(std::string_view key) const; // 0 when absent
    double doubleForKey(std::string_view key) const;        // 0 when absent
    std::optional<std::string> stringForKey(std::string_view key) const;
    std::optional<PlistData> dataForKey(std::string_view key) const;
    std::optional<PlistArray> arrayForKey(std::string_view key) const;
    std::optional<PlistDictionary> dictionaryForKey(std::string_view key) const;

    // Store and save; false (logged) when the file cannot be written: the value is kept in memory.
    bool setObject(std::string_view key, PlistValue value);
    bool removeObject(std::string_view key);

    PlistDictionary registrationDomain() const;
    PlistDictionary persistentDomain() const;
    // Registration values overlaid by stored ones: what the program sees.
    PlistDictionary dictionaryRepresentation() const;

    // Writes the persistent domain to its file; false (logged) on failure.
    bool synchronize();

    // An empty key observes every key. Observers run on the thread that made the change, after it is saved.
    ObserverId addObserver(std::string key, Observer observer);
    void removeObserver(ObserverId id);

private:
    void notify(const std::string& key, const std::optional<PlistValue>& newValue);
    bool saveLocked();

    std::filesystem::path mFilePath;
    mutable std::mutex mMutex;
    PlistDictionary mRegistered;
    PlistDictionary mPersistent;
    std::map<ObserverId, std::pair<std::string, Observer>> mObservers;
    ObserverId mNextObserverId = 1;
};

} // namespace qm
