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

UserDefaults::UserDefaults(std::filesystem::path file) : mFilePath(std::move(file))
{
    auto value = PropertyList::readFile(mFilePath);
    if (value && value->dictionary()) {
        mPersistent = std::move(*value->dictionary());
        return;
    }
    std::error_code error;
    const bool present = fs::exists(mFilePath, error) || error;
    if (!present)
        return;
    mMustKeepCorruptFile = true;
    Log::format("UserDefaults: the settings file \"%s\" cannot be read; starting with empty settings. "
                "It will be kept as \"%s.corrupt\" before it is replaced.",
                mFilePath.c_str(), mFilePath.c_str());
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
        if (changed) {
            mPersistent.insert_or_assign(name, value);
            ++mGeneration;
        }
    }
    // Storing the value a key already has changes nothing: no write, no notification.
    if (!changed)
        return synchronize();
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
        if (mPersistent.erase(name) == 0)
            return true;
        ++mGeneration;
        if (const auto* registered = lookup(mRegistered, name))
            visible = *registered;
    }
    const bool saved = save();
    notify(name, visible);
    return saved;
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

// Writes the current persistent domain unless a write of it (or of a later state) already succeeded.
// Writes happen outside mMutex, so readers never wait for the disk.
bool UserDefaults::save()
{
    PlistValue snapshot;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(mMutex);
        snapshot = PlistValue(mPersistent);
        generation = mGeneration;
    }
    std::lock_guard lock(mSaveMutex);
    if (generation <= mSavedGeneration)
        return true;
    if (mMustKeepCorruptFile) {
        if (!keepCorruptFile())
            return false;
        mMustKeepCorruptFile = false;
    }
    if (!PropertyList::writeFileAtomically(mFilePath, snapshot, PlistFormat::Xml)) {
        Log::format("UserDefaults: the settings could not be saved to \"%s\"", mFilePath.c_str());
        return false;
    }
    mSavedGeneration = generation;
    return true;
}

// Copies the unreadable settings file to "<file>.corrupt" (or ".corrupt.1", ... when taken).
bool UserDefaults::keepCorruptFile()
{
    std::error_code error;
    if (!fs::exists(mFilePath, error) && !error)
        return true; // gone meanwhile: nothing to keep
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path backup = mFilePath;
        backup += attempt == 0 ? ".corrupt" : ".corrupt." + std::to_string(attempt);
        error.clear();
        if (fs::copy_file(mFilePath, backup, fs::copy_options::none, error)) {
            Log::format("UserDefaults: the unreadable settings file was kept as \"%s\"", backup.c_str());
            return true;
        }
        if (error != std::errc::file_exists)
            break;
    }
    Log::format("UserDefaults: the unreadable settings file \"%s\" could not be copied (%s); "
                "it is not replaced, and the settings are not saved",
                mFilePath.c_str(), error.message().c_str());
    return false;
}

} // namespace qm
