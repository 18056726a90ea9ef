#include "ui/InstanceLock.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace qm {

namespace {

int openLockFile(const std::filesystem::path& file)
{
    return ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

} // namespace

InstanceLock::State InstanceLock::acquire()
{
    if (isHeld())
        return State::Held;
    const int descriptor = openLockFile(mFile);
    if (descriptor < 0)
        return State::Unavailable;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        ::close(descriptor);
        return taken ? State::HeldByAnother : State::Unavailable;
    }
    mDescriptor = descriptor;
    return State::Held;
}

void InstanceLock::release()
{
    if (mDescriptor >= 0)
        ::close(mDescriptor);
    mDescriptor = -1;
}

bool InstanceLock::isHeldByAnyone(const std::filesystem::path& file)
{
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0)
        return false;
    const bool held = ::flock(descriptor, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return held;
}

} // namespace qm
