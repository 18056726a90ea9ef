#include "bridge/RuntimeFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

#include "foundation/Log.h"

namespace qm::RuntimeFolder {

namespace fs = std::filesystem;

namespace {

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool usesFallback()
{
    return environment("XDG_RUNTIME_DIR").empty();
}

// Makes the folder with mode 0700 (whatever the umask) unless something is there already; what is
// there is left as it is.
void makeFolder(const fs::path& folder)
{
    if (::mkdir(folder.c_str(), 0700) == 0)
        ::chmod(folder.c_str(), 0700);
}

// Says why the folder is refused, once for each folder in this process.
void reportOnce(const fs::path& folder, const std::string& problem)
{
    static std::mutex mutex;
    static std::set<fs::path> reported;
    std::lock_guard lock(mutex);
    if (!reported.insert(folder).second)
        return;
    Log::format("quillmark: the folder %s is not used for sockets: %s. Remove it, or set XDG_RUNTIME_DIR to "
                "a private folder.",
                folder.c_str(), problem.c_str());
}

} // namespace

fs::path location()
{
    if (!usesFallback())
        return fs::path(environment("XDG_RUNTIME_DIR")) / "quillmark";
    const std::string temporary = environment("TMPDIR");
    return fs::path(temporary.empty() ? "/tmp" : temporary) / ("quillmark-" + std::to_string(::getuid()));
}

std::optional<std::string> problemWithFallback(const fs::path& folder)
{
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0)
        return std::string("it cannot be read (") + std::strerror(errno) + ")";
    if (S_ISLNK(status.st_mode))
        return "it is a symbolic link";
    if (!S_ISDIR(status.st_mode))
        return "it is not a folder";
    if (status.st_uid != ::getuid())
        return "it belongs to another user (uid " + std::to_string(status.st_uid) + ")";
    if ((status.st_mode & 07777) != 0700) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        return std::string("its mode is ") + mode + ", not 0700";
    }
    return std::nullopt;
}

fs::path path()
{
    const fs::path folder = location();
    if (!usesFallback()) {
        makeFolder(folder.parent_path()); // a session without its runtime folder yet (tests, su)
        makeFolder(folder);
        return folder;
    }
    makeFolder(folder);
    if (auto problem = problemWithFallback(folder)) {
        reportOnce(folder, *problem);
        return Refused;
    }
    return folder;
}

} // namespace qm::RuntimeFolder
