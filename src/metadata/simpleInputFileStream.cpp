#include "metadata/simpleInputFileStream.h"

#include "foundation/Log.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <new>
#include <unistd.h>

namespace qm {

namespace {
constexpr std::uintmax_t LargestByteCount = std::numeric_limits<std::uint32_t>::max();
}

simpleInputFileStream::simpleInputFileStream(std::filesystem::path path)
    : mFilePath(std::move(path))
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(mFilePath, error);
    if (error) {
        Log::message("bad file path given to simpleInputFileStream!!");
        return;
    }
    if (size > LargestByteCount)
        Log::format("simpleInputFileStream: %s has %ju bytes; only its first %ju are readable",
                    mFilePath.c_str(), size, LargestByteCount);
    mFileSize = static_cast<std::uint32_t>(std::min(size, LargestByteCount));
    mByteCount = mFileSize;
}

bool simpleInputFileStream::setStreamPosition(std::uint32_t position)
{
    if (position > mFilePosition && position <= mFileSize)
        loadUpTo(position);
    return simpleStream::setStreamPosition(position);
}

std::uint32_t simpleInputFileStream::readBytes(void* destination, std::uint32_t byteCount)
{
    const std::uint64_t end = std::uint64_t(mStreamPosition) + byteCount;
    if (end > mFilePosition)
        loadUpTo(static_cast<std::uint32_t>(std::min<std::uint64_t>(end, mFileSize)));
    return simpleStream::readBytes(destination, byteCount);
}

// Loads the file from the end of the loaded bytes up to the position plus the read-ahead,
// through a file handle of its own.
void simpleInputFileStream::loadUpTo(std::uint32_t position)
{
    const auto target = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t(position) + ReadAhead, mFileSize));
    if (target <= mFilePosition)
        return;
    const std::uint32_t length = target - mFilePosition;
    const std::size_t start = mData.size();
    try {
        mData.resize(start + length);
    } catch (const std::bad_alloc&) {
        Log::format("simpleInputFileStream: Can't allocate %u bytes for %s", length, mFilePath.c_str());
        mData.resize(start);
        return;
    }
    const std::size_t got = readFromFile(mData.data() + start, length);
    mData.resize(start + got);
    mBytes = mData.data();
    mFilePosition += static_cast<std::uint32_t>(got);
    if (got < length)
        endAtLoadedBytes();
}

std::size_t simpleInputFileStream::readFromFile(std::uint8_t* destination, std::uint32_t length) const
{
    const int file = ::open(mFilePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return 0;
    std::size_t got = 0;
    while (got < length) {
        const ssize_t count = ::pread(file, destination + got, length - got, off_t(mFilePosition) + off_t(got));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        got += static_cast<std::size_t>(count);
    }
    ::close(file);
    return got;
}

// The file no longer holds the bytes it had when the stream was made: the stream ends where
// the loaded bytes end, so it never claims bytes it does not have.
void simpleInputFileStream::endAtLoadedBytes()
{
    Log::format("simpleInputFileStream: %s ended after %u of %u bytes", mFilePath.c_str(), mFilePosition, mFileSize);
    mFileSize = mFilePosition;
    mByteCount = mFilePosition;
    mStreamPosition = std::min(mStreamPosition, mByteCount);
}

} // namespace qm
