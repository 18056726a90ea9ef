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
        Log::format("simpleInputFileStream: %s has %ju bytes; only its first %ju are readable by position",
                    mFilePath.c_str(), size, LargestByteCount);
    mWholeFileSize = size;
    mFileSize = static_cast<std::uint32_t>(std::min(size, LargestByteCount));
    mByteCount = mFileSize;
}

bool simpleInputFileStream::setStreamPosition(std::uint32_t position)
{
    if (position > mFilePosition && position <= mFileSize && !isFar(position))
        loadUpTo(position);
    return simpleStream::setStreamPosition(position);
}

std::uint32_t simpleInputFileStream::readBytes(void* destination, std::uint32_t byteCount)
{
    const std::uint64_t end = std::uint64_t(mStreamPosition) + byteCount;
    if (end > mFilePosition && isFar(mStreamPosition))
        return readFromWindow(destination, byteCount);
    if (end > mFilePosition)
        loadUpTo(static_cast<std::uint32_t>(std::min<std::uint64_t>(end, mFileSize)));
    return simpleStream::readBytes(destination, byteCount);
}

// Copies from the window (loading one that starts at the position when it does not hold the
// bytes) and advances the position, as a read of loaded bytes does.
std::uint32_t simpleInputFileStream::readFromWindow(void* destination, std::uint32_t byteCount)
{
    const std::uint32_t count = std::min(byteCount, remainingByteCount());
    const std::uint64_t end = std::uint64_t(mStreamPosition) + count;
    const bool held = mStreamPosition >= mWindowStart && end <= std::uint64_t(mWindowStart) + mWindow.size();
    if (!held && !loadWindow(mStreamPosition, count))
        return 0;
    const std::uint32_t available =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(count, mWindowStart + mWindow.size() - mStreamPosition));
    if (available == 0 || !destination)
        return 0;
    std::copy_n(mWindow.begin() + (mStreamPosition - mWindowStart), available, static_cast<std::uint8_t*>(destination));
    mStreamPosition += available;
    return available;
}

bool simpleInputFileStream::loadWindow(std::uint32_t start, std::uint32_t byteCount)
{
    const auto length = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(std::max(byteCount, ReadAhead), std::uint64_t(mFileSize) - start));
    try {
        mWindow.resize(length);
    } catch (const std::bad_alloc&) {
        Log::format("simpleInputFileStream: Can't allocate %u bytes for %s", length, mFilePath.c_str());
        mWindow.clear();
        return false;
    }
    mWindowStart = start;
    mWindow.resize(readFromFile(mWindow.data(), length, start));
    if (mWindow.size() < length)
        endAt(static_cast<std::uint32_t>(start + mWindow.size()));
    return true;
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
    const std::size_t got = readFromFile(mData.data() + start, length, mFilePosition);
    mData.resize(start + got);
    mBytes = mData.data();
    mFilePosition += static_cast<std::uint32_t>(got);
    if (got < length)
        endAt(mFilePosition);
}

std::size_t simpleInputFileStream::readBytesAt(std::uint64_t offset, std::span<std::uint8_t> destination)
{
    if (offset >= mWholeFileSize)
        return 0;
    return readFromFile(destination.data(), std::min<std::uint64_t>(destination.size(), mWholeFileSize - offset), offset);
}

std::size_t simpleInputFileStream::readFromFile(std::uint8_t* destination, std::size_t length,
                                               std::uint64_t offset) const
{
    const int file = ::open(mFilePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return 0;
    std::size_t got = 0;
    while (got < length) {
        const ssize_t count = ::pread(file, destination + got, length - got, static_cast<off_t>(offset + got));
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
// the bytes read end, so it never claims bytes it does not have.
void simpleInputFileStream::endAt(std::uint32_t size)
{
    Log::format("simpleInputFileStream: %s ended after %u of %u bytes", mFilePath.c_str(), size, mFileSize);
    mWholeFileSize = size;
    mFileSize = size;
    mByteCount = size;
    mStreamPosition = std::min(mStreamPosition, mByteCount);
}

} // namespace qm
