#include "foundation/UserDefaults.h"

#include "foundation/Log.h"
#include "foundation/PropertyList.h"

#include <charconv>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace qm {

namespace fs = std::filesystem;

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

const PlistValue* lookup(const PlistDictionary& domain, std::string_view key)
{
    auto found = domain.find(key);
    return found == domain.end() ? nullptr : &found->second;
}

std::string shortestText(double value)
{
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc() ? std::string(buffer, end) : std::string();
}

} // namespace

UserDefaults& UserDefaults::standard()
{
    static UserDefaults defaults(defaultFilePath());
    return defaults;
}

std::filesystem::path UserDefaults::defaultFilePath()
{
    if (auto file = environment("QUILLMARK_DEFAULTS"); !file.empty())
        return file;
    fs::path config = environment("XDG_CONFIG_HOME");
    if (config.empty() || !config.is_absolute()) { // a relative XDG_CONFIG_HOME is not used
        std::string home = environment("HOME");
        if (home.empty())
            if (const passwd* user = ::getpwuid(::getuid()))
                home = user->pw_dir;
        config = fs::path(home) / ".config";
    }
    return config / "quillmark" / "defaults.plist";
}

UserDefaults::UserDefaults(std::filesystem::path file) : mFile(std::move(file))
{
    auto contents = mFile.read();
    mPersistent = std::move(contents.values);
    if (!contents.unreadable)
        return;
    mFileWasUnreadable = true;
    mKeptUnreadableCopy = mFile.keepUnreadableCopy();
    Log::format("UserDefaults: the settings file \"%s\" cannot be read; starting with empty settings%s%s",
                filePath().c_str(), mKeptUnreadableCopy ? ". Its contents are kept in " : "",
                mKeptUnreadableCopy ? mKeptUnreadableCopy->c_str() : "");
}

void UserDefaults::setSaveFailureHandler(SaveFailureHandler handler)
{
    std::lock_guard lock(mMutex);
    mSaveFailureHandler = handler ? std::make_shared<const SaveFailureHandler>(std::move(handler)) : nullptr;
}

void UserDefaults::registerDefaults(const PlistDictionary& values)
{
    std::vector<std::pair<std::string, std::optional<PlistValue>>> changes;
    {
        std::lock_guard lock(mMutex);
        for (const auto& [key, value] : values) {
            const PlistValue* old = lookup(mRegistered, key);
            const bool hidden = lookup(mPersistent, key) != nullptr;
            if (value.isNull()) {
                if (old) {
                    mRegistered.erase(key);
                    if (!hidden)
                        changes.emplace_back(key, std::nullopt);
                }
                continue;
            }
            if (old && *old == value)
                continue;
            mRegistered.insert_or_assign(key, value);
            if (!hidden)
                changes.emplace_back(key, value);
        }
    }
    for (const auto& [key, value] : changes)
        notify(key, value);
}

std::optional<PlistValue> UserDefaults::object(std::string_view key) const
{
    std::lock_guard lock(mMutex);
    if (const auto* value = lookup(mPersistent, key))
        return *value;
    if (const auto* value = lookup(mRegistered, key))
        return *value;
    return std::nullopt;
}

bool UserDefaults::boolForKey(std::string_view key) const
{
    auto value = object(key);
    return value ? value->asBoolean().value_or(false) : false;
}

std::int64_t UserDefaults::integerForKey(std::string_view key) const
{
    auto value = object(key);
    return value ? value->asInteger().value_or(0) : 0;
}

double UserDefaults::doubleForKey(std::string_view key) const
{
    auto value = object(key);
    return value ? value->asReal().value_or(0.0) : 0.0;
}

// As Apple's stringForKey:, numbers and booleans answer their text.
std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const
{
    auto value = object(key);
    if (!value)
        return std::nullopt;
    if (const auto* text = value->string())
        return *text;
    if (const auto* number = value->integer())
        return std::to_string(*number);
    if (const auto* number = value->real())
        return shortestText(*number);
    if (const auto* flag = value->boolean())
        return *flag ? "1" : "0";
    return std::nullopt;
}

std::optional<PlistData> UserDefaults::dataForKey(std::string_view key) const
{
    auto value = object(key);
    if (value && value->data())
        return *value->data();
    return std::nullopt;
}

std::optional<PlistArray> UserDefaults::arrayForKey(std::string_view key) const
{
    auto value = object(key);
    if (value && value->array())
        return std::move(*value->array());
    return std::nullopt;
}

std::optional<PlistDictionary> UserDefaults::dictionaryForKey(std::string_view key) const
{
    auto value = object(key);
    if (value && value->dictionary())
        return std::move(*value->dictionary());
    return std::nullopt;
}

bool UserDefaults::setObject(std::string_view key, PlistValue value)
{
    if (value.isNull())
        return removeObject(key);
    if (!PropertyList::toBytes(value, PlistFormat::Binary)) {
        Log::format("UserDefaults: the value for \"%.*s\" cannot be kept in a property list; it is not set",
                    static_cast<int>(key.size()), key.data());
        return false;
    }
    const std::string name(key);
    bool changed = false;
    {
        std::lock_guard lock(mMutex);
        const PlistValue* stored = lookup(mPersistent, name);
        changed = !stored || !(*stored == value);
    }
    // Storing the value a key already has changes nothing: no write, no notification.
    if (!changed)
        return synchronize();
    store(name, value);
    const bool saved = save();
    notify(name, value);
    return saved;
}

bool UserDefaults::removeObject(std::string_view key)
{
    const std::string name(key);
    std::optional<PlistValue> visible;
    {
        std::lock_guard lock(mMutex);
        if (!mPersistent.contains(name))
            return true;
        if (const auto* registered = lookup(mRegistered, name))
            visible = *registered;
    }
    store(name, std::nullopt);
    const bool saved = save();
    notify(name, visible);
    return saved;
}

// Changes the persistent domain and marks the key for the next save.
void UserDefaults::store(const std::string& key, std::optional<PlistValue> value)
{
    std::lock_guard lock(mMutex);
    if (value)
        mPersistent.insert_or_assign(key, *value);
    else
        mPersistent.erase(key);
    mUnsaved.insert_or_assign(key, std::move(value));
}

bool UserDefaults::replacePersistentDomain(const PlistDictionary& values)
{
    bool saved = true;
    for (const auto& [key, value] : persistentDomain())
        if (!values.contains(key))
            saved = removeObject(key) && saved;
    const PlistDictionary stored = persistentDomain();
    for (const auto& [key, value] : values)
        if (const auto found = stored.find(key); found == stored.end() || !(found->second == value))
            saved = setObject(key, value) && saved;
    return saved;
}

PlistDictionary UserDefaults::registrationDomain() const
{
    std::lock_guard lock(mMutex);
    return mRegistered;
}

PlistDictionary UserDefaults::persistentDomain() const
{
    std::lock_guard lock(mMutex);
    return mPersistent;
}

PlistDictionary UserDefaults::dictionaryRepresentation() const
{
    std::lock_guard lock(mMutex);
    PlistDictionary visible = mRegistered;
    for (const auto& [key, value] : mPersistent)
        visible.insert_or_assign(key, value);
    return visible;
}

bool UserDefaults::synchronize()
{
    return save();
}

UserDefaults::ObserverId UserDefaults::addObserver(std::string key, Observer observer)
{
    std::lock_guard lock(mMutex);
    const ObserverId id = mNextObserverId++;
    mObservers.emplace(id, ObserverEntry{std::move(key), std::make_shared<const Observer>(std::move(observer))});
    return id;
}

void UserDefaults::removeObserver(ObserverId id)
{
    std::lock_guard lock(mMutex);
    mObservers.erase(id);
}

void UserDefaults::notify(const std::string& key, const std::optional<PlistValue>& newValue)
{
    std::vector<ObserverId> interested;
    {
        std::lock_guard lock(mMutex);
        for (const auto& [id, entry] : mObservers)
            if (entry.key.empty() || entry.key == key)
                interested.push_back(id);
    }
    // Each observer is looked up again just before its call, so one removed by an earlier
    // observer of this change is not called.
    for (ObserverId id : interested) {
        std::shared_ptr<const Observer> observer;
        {
            std::lock_guard lock(mMutex);
            auto found = mObservers.find(id);
            if (found == mObservers.end())
                continue;
            observer = found->second.observer;
        }
        if (*observer)
            (*observer)(key, newValue);
    }
}

// Writes outside mMutex, so readers never wait for the disk; the failure handler runs after
// mSaveMutex is let go, so it may change settings itself.
bool UserDefaults::save()
{
    SettingsFile::Failure failure = SettingsFile::Failure::None;
    {
        std::lock_guard saving(mSaveMutex);
        failure = writeUnsavedChanges();
    }
    if (failure == SettingsFile::Failure::None)
        return true;
    Log::format("UserDefaults: the settings could not be saved to \"%s\"", filePath().c_str());
    std::shared_ptr<const SaveFailureHandler> handler;
    {
        std::lock_guard lock(mMutex);
        handler = mSaveFailureHandler;
    }
    if (handler && *handler)
        (*handler)(failure, mFile.describe(failure));
    return false;
}

// Called with mSaveMutex held. A key changed again while it was written stays unsaved.
SettingsFile::Failure UserDefaults::writeUnsavedChanges()
{
    SettingsFile::Changes changes;
    PlistDictionary whenUnreadable;
    {
        std::lock_guard lock(mMutex);
        if (mUnsaved.empty())
            return SettingsFile::Failure::None;
        changes = mUnsaved;
        whenUnreadable = mPersistent;
    }
    PlistDictionary stored;
    const auto failure = mFile.write(changes, whenUnreadable, stored);
    if (failure != SettingsFile::Failure::None)
        return failure;
    std::lock_guard lock(mMutex);
    for (const auto& [key, value] : changes)
        if (auto found = mUnsaved.find(key); found != mUnsaved.end() && found->second == value)
            mUnsaved.erase(found);
    return failure;
}

void UserDefaults::reloadFromDisk()
{
    std::vector<Change> changes;
    {
        std::lock_guard saving(mSaveMutex);
        auto contents = mFile.read();
        if (contents.unreadable)
            return;
        changes = adopt(std::move(contents.values));
    }
    for (const auto& [key, value] : changes)
        notify(key, value);
}

// Makes the stored values these, with the unsaved changes on top; answers the visible changes.
std::vector<UserDefaults::Change> UserDefaults::adopt(PlistDictionary stored)
{
    std::lock_guard lock(mMutex);
    applyChanges(stored, mUnsaved);
    std::vector<Change> changes;
    for (const auto& [key, value] : mPersistent)
        if (!stored.contains(key)) {
            const PlistValue* registered = lookup(mRegistered, key);
            changes.emplace_back(key, registered ? std::optional(*registered) : std::nullopt);
        }
    for (const auto& [key, value] : stored)
        if (const PlistValue* old = lookup(mPersistent, key); !old || !(*old == value))
            changes.emplace_back(key, value);
    mPersistent = std::move(stored);
    return changes;
}

} // namespace qm
