#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
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

    // Loads the persistent domain from the file (a missing file is an empty domain). A file that
    // cannot be read is logged and copied to "<file>.corrupt" before it is first replaced.
    explicit UserDefaults(std::filesystem::path file);

    const std::filesystem::path& filePath() const { return mFilePath; }

    // Merges into the registration domain (later registrations win); never overrides a stored
    // value. Observers hear of each key whose visible value changed.
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
    // A value that a property list cannot hold is refused (false, logged); a null value removes.
    bool setObject(std::string_view key, PlistValue value);
    bool removeObject(std::string_view key);
    // Makes the stored values exactly these: keys missing from them are removed, the others set
    // where they differ. False (logged) when a change cannot be saved.
    bool replacePersistentDomain(const PlistDictionary& values);

    PlistDictionary registrationDomain() const;
    PlistDictionary persistentDomain() const;
    // Registration values overlaid by stored ones: what the program sees.
    PlistDictionary dictionaryRepresentation() const;

    // Writes the persistent domain to its file if it has unsaved changes; false (logged) on failure.
    bool synchronize();

    // An empty key observes every key. Observers run on the thread that made the change, after it is
    // saved, with no lock held: they may read, change, or remove observers. Once removeObserver
    // returns, no later change calls the observer (a notification already under way on another
    // thread may still reach it).
    ObserverId addObserver(std::string key, Observer observer);
    void removeObserver(ObserverId id);

private:
    struct ObserverEntry {
        std::string key;
        std::shared_ptr<const Observer> observer;
    };

    void notify(const std::string& key, const std::optional<PlistValue>& newValue);
    bool save();
    bool keepCorruptFile();

    std::filesystem::path mFilePath;
    mutable std::mutex mMutex; // guards the domains, mGeneration and the observers
    PlistDictionary mRegistered;
    PlistDictionary mPersistent;
    std::uint64_t mGeneration = 0; // counts changes of the persistent domain
    std::map<ObserverId, ObserverEntry> mObservers;
    ObserverId mNextObserverId = 1;

    std::mutex mSaveMutex; // orders writes of the file; guards the two members below
    std::uint64_t mSavedGeneration = 0;
    bool mMustKeepCorruptFile = false;
};

} // namespace qm
