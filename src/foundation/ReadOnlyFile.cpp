#include "foundation/ReadOnlyFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <utility>

namespace qm {

namespace {

// The head buffer of the last file closed on this thread, taken by the next one: reading many
// files one after the other allocates it once. Buffers larger than this are not kept.
constexpr std::size_t LargestSpareHead = 1 << 20;
thread_local std::vector<std::uint8_t> spareHead;

FileIdentity identityOf(const struct stat& attributes)
{
    return {static_cast<std::uint64_t>(attributes.st_dev), static_cast<std::uint64_t>(attributes.st_ino),
            static_cast<std::uint64_t>(attributes.st_size), attributes.st_mtim.tv_sec, attributes.st_mtim.tv_nsec};
}

} // namespace

ReadOnlyFile::ReadOnlyFile(std::filesystem::path path) : mPath(std::move(path))
{
    const int descriptor = ::open(mPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return;
    struct stat attributes {};
    if (::fstat(descriptor, &attributes) != 0 || !S_ISREG(attributes.st_mode)) {
        ::close(descriptor);
        return;
    }
    mDescriptor = descriptor;
    mIdentity = identityOf(attributes);
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (mDescriptor >= 0)
        ::close(mDescriptor);
    if (mHead.capacity() > spareHead.capacity() && mHead.capacity() <= LargestSpareHead)
        spareHead = std::move(mHead);
}

// A shared lock is refused only while someone holds an exclusive one; a granted one is given
// back at once, so no writer waits on this reader.
bool ReadOnlyFile::isLockedForWriting() const
{
    if (!isOpen())
        return false;
    if (::flock(mDescriptor, LOCK_SH | LOCK_NB) != 0)
        return errno == EWOULDBLOCK;
    ::flock(mDescriptor, LOCK_UN);
    return false;
}

std::size_t ReadOnlyFile::readAt(std::uint64_t offset, std::span<std::uint8_t> destination) const
{
    return readAt(offset, destination, {});
}

std::size_t ReadOnlyFile::readAt(std::uint64_t offset, std::span<std::uint8_t> first,
                                 std::span<std::uint8_t> second) const
{
    if (!isOpen())
        return 0;
    std::size_t got = 0;
    const std::size_t wanted = first.size() + second.size();
    while (got < wanted) {
        iovec parts[2];
        int partCount = 0;
        if (got < first.size())
            parts[partCount++] = {first.data() + got, first.size() - got};
        const std::size_t intoSecond = got > first.size() ? got - first.size() : 0;
        if (intoSecond < second.size())
            parts[partCount++] = {second.data() + intoSecond, second.size() - intoSecond};
        const ssize_t count = ::preadv(mDescriptor, parts, partCount, static_cast<off_t>(offset + got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        got += static_cast<std::size_t>(count);
    }
    return got;
}

std::span<const std::uint8_t> ReadOnlyFile::head(std::uint32_t byteCount)
{
    if (!mHeadRead) {
        mHeadRead = true;
        mHead = std::exchange(spareHead, {});
        mHead.resize(static_cast<std::size_t>(std::min<std::uint64_t>(byteCount, size())));
        mHead.resize(readAt(0, mHead));
    }
    return mHead;
}

} // namespace qm
