#include "foundation/InputStream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace qm {

std::shared_ptr<FileDescriptorInputStream> FileDescriptorInputStream::open(const std::filesystem::path& path)
{
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return nullptr;
    struct stat attributes {};
    if (::fstat(file, &attributes) != 0 || S_ISDIR(attributes.st_mode)) {
        ::close(file);
        return nullptr;
    }
    return std::make_shared<FileDescriptorInputStream>(file, true);
}

FileDescriptorInputStream::FileDescriptorInputStream(int fileDescriptor, bool closeWhenDestroyed)
    : mFileDescriptor(fileDescriptor), mCloseWhenDestroyed(closeWhenDestroyed)
{
    struct stat attributes {};
    if (mFileDescriptor < 0 || ::fstat(mFileDescriptor, &attributes) != 0)
        mStatus = Status::Error;
}

FileDescriptorInputStream::~FileDescriptorInputStream()
{
    if (mCloseWhenDestroyed && mFileDescriptor >= 0)
        ::close(mFileDescriptor);
}

// An error is final: later reads fail at once, as they would on a broken stream.
std::int64_t FileDescriptorInputStream::read(std::uint8_t* buffer, std::size_t maxLength)
{
    if (mStatus == Status::Error)
        return -1;
    if (maxLength == 0)
        return 0;
    const std::size_t length = std::min<std::size_t>(maxLength, SSIZE_MAX);
    ssize_t count;
    do
        count = ::read(mFileDescriptor, buffer, length);
    while (count < 0 && errno == EINTR);
    if (count < 0)
        mStatus = Status::Error;
    else
        mStatus = count == 0 ? Status::AtEnd : Status::Open;
    return count;
}

std::optional<std::uint64_t> FileDescriptorInputStream::fileOffset() const
{
    const off_t offset = ::lseek(mFileDescriptor, 0, SEEK_CUR);
    if (offset < 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(offset);
}

bool FileDescriptorInputStream::setFileOffset(std::uint64_t offset)
{
    if (mStatus == Status::Error || offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return false;
    if (::lseek(mFileDescriptor, static_cast<off_t>(offset), SEEK_SET) < 0)
        return false;
    mStatus = Status::Open;
    return true;
}

InputStream::Status FileDescriptorInputStream::status() const
{
    return mStatus;
}

} // namespace qm
