#include "foundation/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace qm {

FileLock::FileLock(const std::filesystem::path& path, std::chrono::milliseconds patience)
{
    mDescriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (mDescriptor < 0)
        return;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (true) {
        if (::flock(mDescriptor, LOCK_EX | LOCK_NB) == 0) {
            mHeld = true;
            return;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            return;
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

FileLock::~FileLock()
{
    if (mDescriptor < 0)
        return;
    if (mHeld)
        ::flock(mDescriptor, LOCK_UN);
    ::close(mDescriptor);
}

} // namespace qm
