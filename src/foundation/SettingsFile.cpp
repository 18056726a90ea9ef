#include "foundation/SettingsFile.h"

#include "foundation/FileLock.h"
#include "foundation/Log.h"
#include "foundation/PropertyList.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

namespace fs = std::filesystem;

namespace {

// A save holds the lock for milliseconds; many writers at once queue for a few seconds at most.
constexpr std::chrono::milliseconds LockPatience{5000};

std::optional<std::string> contentsOf(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

// The file a save replaces: the target of a symbolic link, as the atomic writer does.
fs::path writtenPath(const fs::path& path)
{
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(path, error))) {
        auto target = fs::weakly_canonical(path, error);
        if (!error)
            return target;
    }
    return path;
}

// The atomic writer's temporary files: ".<name>." followed by six letters or digits.
bool isTemporaryFileOf(const std::string& candidate, const std::string& name)
{
    const std::string prefix = "." + name + ".";
    if (candidate.size() != prefix.size() + 6 || candidate.rfind(prefix, 0) != 0)
        return false;
    for (std::size_t index = prefix.size(); index < candidate.size(); ++index)
        if (!std::isalnum(static_cast<unsigned char>(candidate[index])))
            return false;
    return true;
}

} // namespace

void applyChanges(PlistDictionary& values, const SettingsFile::Changes& changes)
{
    for (const auto& [key, value] : changes) {
        if (value)
            values.insert_or_assign(key, *value);
        else
            values.erase(key);
    }
}

SettingsFile::SettingsFile(std::filesystem::path path) : mPath(std::move(path)) {}

fs::path SettingsFile::lockPath() const
{
    fs::path lock = mPath;
    lock += ".lock";
    return lock;
}

SettingsFile::Contents SettingsFile::read() const
{
    if (auto value = PropertyList::readFile(mPath); value && value->dictionary())
        return {std::move(*value->dictionary()), false};
    std::error_code error;
    const bool present = fs::exists(mPath, error) || error;
    return {{}, present};
}

bool SettingsFile::isReadOnly() const
{
    struct stat status {};
    if (::stat(mPath.c_str(), &status) != 0)
        return false;
    return (status.st_mode & 0222) == 0 || ::access(mPath.c_str(), W_OK) != 0;
}

std::optional<fs::path> SettingsFile::keepUnreadableCopy() const
{
    const auto damaged = contentsOf(mPath);
    if (!damaged)
        return std::nullopt;
    std::error_code error;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path backup = mPath;
        backup += attempt == 0 ? ".corrupt" : ".corrupt." + std::to_string(attempt);
        if (fs::exists(backup, error)) {
            if (contentsOf(backup) == damaged)
                return backup;
            continue;
        }
        if (fs::copy_file(mPath, backup, fs::copy_options::none, error)) {
            Log::format("UserDefaults: the unreadable settings file was kept as \"%s\"", backup.c_str());
            return backup;
        }
        break;
    }
    Log::format("UserDefaults: the unreadable settings file \"%s\" could not be copied (%s); "
                "it is not replaced, and the settings are not saved",
                mPath.c_str(), error.message().c_str());
    return std::nullopt;
}

SettingsFile::Failure SettingsFile::write(const Changes& changes, const PlistDictionary& whenUnreadable,
                                          PlistDictionary& stored) const
{
    std::error_code error;
    fs::create_directories(mPath.parent_path(), error); // a failure is told by the writer below
    const FileLock lock(lockPath(), LockPatience);
    if (!lock.isHeld() && !lock.couldNotOpen()) {
        Log::format("UserDefaults: \"%s\" stays locked by another program", lockPath().c_str());
        return Failure::Locked;
    }
    if (isReadOnly()) {
        Log::format("UserDefaults: the settings file \"%s\" is read-only; it is not replaced", mPath.c_str());
        return Failure::ReadOnly;
    }
    Contents now = read();
    if (now.unreadable) {
        if (!keepUnreadableCopy())
            return Failure::Unwritable;
        now.values = whenUnreadable;
    }
    applyChanges(now.values, changes);
    if (!PropertyList::writeFileAtomically(mPath, PlistValue(now.values), PlistFormat::Xml))
        return Failure::Unwritable;
    removeStaleTemporaryFiles();
    stored = std::move(now.values);
    return Failure::None;
}

// Runs with the lock held: every temporary file left in the folder then is one of a killed save.
void SettingsFile::removeStaleTemporaryFiles() const
{
    const fs::path target = writtenPath(mPath);
    const std::string name = target.filename().string();
    std::error_code error;
    for (fs::directory_iterator entry(target.parent_path(), error), end; !error && entry != end; entry.increment(error)) {
        std::error_code ignored;
        if (isTemporaryFileOf(entry->path().filename().string(), name))
            fs::remove(entry->path(), ignored);
    }
}

std::string SettingsFile::describe(Failure failure) const
{
    switch (failure) {
    case Failure::None:
        return {};
    case Failure::ReadOnly:
        return "The settings file \"" + mPath.string() + "\" is read-only: changes of the settings are not saved.";
    case Failure::Locked:
        return "The settings file \"" + mPath.string() + "\" is locked by another program: changes of the settings "
               "are not saved.";
    case Failure::Unwritable:
        return "The settings could not be saved to \"" + mPath.string() + "\".";
    }
    return {};
}

} // namespace qm
