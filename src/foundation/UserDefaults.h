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
#include <utility>
#include <vector>

#include "foundation/PlistValue.h"
#include "foundation/SettingsFile.h"

namespace qm {

// The user's settings: a registration domain under a persistent domain kept as a property-list
// file. Every change is saved at once, as the changed key on top of what the file holds then, so
// other processes writing the same file keep their keys; observers hear of every change of a key.
class UserDefaults {
public:
    using Observer = std::function<void(const std::string& key, const std::optional<PlistValue>& newValue)>;
    using ObserverId = std::uint64_t;
    // Told of a save that failed, with a sentence for the user; runs on the saving thread, no lock held.
    using SaveFailureHandler = std::function<void(SettingsFile::Failure failure, const std::string& description)>;

    // The process's settings, kept in defaultFilePath().
    static UserDefaults& standard();
    // $QUILLMARK_DEFAULTS, else $XDG_CONFIG_HOME/quillmark/defaults.plist, else ~/.config/quillmark/defaults.plist.
    static std::filesystem::path defaultFilePath();

    // Loads the persistent domain from the file (a missing file is an empty domain). A file that
    // cannot be read is logged and a copy of it kept as "<file>.corrupt" at once.
    explicit UserDefaults(std::filesystem::path file);

    const std::filesystem::path& filePath() const { return mFile.path(); }
    // Whether the file could not be read when these settings were loaded, and where its copy is.
    bool fileWasUnreadable() const { return mFileWasUnreadable; }
    const std::optional<std::filesystem::path>& keptUnreadableCopy() const { return mKeptUnreadableCopy; }
    // Whether the file is there and may not be written; saves then fail and leave it as it is.
    bool isReadOnly() const { return mFile.isReadOnly(); }
    void setSaveFailureHandler(SaveFailureHandler handler);

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

    // Writes the keys changed here and not yet saved; false (logged) on failure.
    bool synchronize();
    // Takes in what other processes saved to the file; keys changed here and not yet saved stay.
    // Observers hear of each key whose visible value changed. A file that cannot be read is left
    // for the next save to keep aside.
    void reloadFromDisk();

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

    using Change = std::pair<std::string, std::optional<PlistValue>>;

    void notify(const std::string& key, const std::optional<PlistValue>& newValue);
    void store(const std::string& key, std::optional<PlistValue> value);
    bool save();
    SettingsFile::Failure writeUnsavedChanges();
    std::vector<Change> adopt(PlistDictionary stored);

    SettingsFile mFile;
    bool mFileWasUnreadable = false;
    std::optional<std::filesystem::path> mKeptUnreadableCopy;
    mutable std::mutex mMutex; // guards the domains, mUnsaved, the observers and the handler
    PlistDictionary mRegistered;
    PlistDictionary mPersistent;
    SettingsFile::Changes mUnsaved; // changed here, not yet in the file
    std::map<ObserverId, ObserverEntry> mObservers;
    ObserverId mNextObserverId = 1;
    std::shared_ptr<const SaveFailureHandler> mSaveFailureHandler;

    std::mutex mSaveMutex; // orders writes and reloads of the file
};

} // namespace qm
