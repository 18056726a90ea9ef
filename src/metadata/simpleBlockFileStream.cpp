#include "metadata/simpleBlockFileStream.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "foundation/FileOrigin.h"
#include "foundation/Log.h"
#include "foundation/ReadOnlyFile.h"

namespace qm {

simpleBlockFileStream::simpleBlockFileStream(ReadOnlyFile& file, std::uint32_t blockSize)
    : mFile(file), mBlockSize(std::max<std::uint32_t>(blockSize, 1))
{
    mByteCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(file.size(), std::numeric_limits<std::uint32_t>::max()));
    mBlock = file.headRead();
    if (!mBlock.empty())
        counted(mBlock.size());
}

simpleBlockFileStream::~simpleBlockFileStream() = default;

std::uint32_t simpleBlockFileStream::readBytes(void* destination, std::uint32_t byteCount)
{
    const std::uint32_t count = std::min(byteCount, remainingByteCount());
    if (count == 0 || !destination)
        return 0;
    auto* out = static_cast<std::uint8_t*>(destination);
    std::uint64_t position = mStreamPosition;
    std::uint32_t copied = 0;
    while (copied < count) {
        const std::uint32_t left = count - copied;
        std::uint32_t step = copyFromBlock(position, out + copied, left);
        if (step == 0 && left >= mBlockSize)
            step = readPastBlock(position, out + copied, left);
        else if (step == 0 && loadBlock(position))
            continue;
        if (step == 0)
            break;
        copied += step;
        position += step;
    }
    mStreamPosition += copied;
    return copied;
}

std::uint32_t simpleBlockFileStream::copyFromBlock(std::uint64_t position, std::uint8_t* destination,
                                                   std::uint32_t byteCount) const
{
    if (position < mBlockStart || position >= mBlockStart + mBlock.size())
        return 0;
    const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(byteCount, mBlockStart + mBlock.size() - position));
    std::memcpy(destination, mBlock.data() + (position - mBlockStart), count);
    return count;
}

bool simpleBlockFileStream::loadBlock(std::uint64_t position)
{
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(mBlockSize, mByteCount - position));
    mOwnBlock.resize(mBlockSize);
    const std::size_t got = mFile.readAt(position, std::span(mOwnBlock.data(), size));
    counted(got);
    mBlockStart = position;
    mBlock = std::span<const std::uint8_t>(mOwnBlock.data(), got);
    if (got < size)
        endAt(position + got);
    return got > 0;
}

// The destination first, then as much of a block as the file holds after it.
std::uint32_t simpleBlockFileStream::readPastBlock(std::uint64_t position, std::uint8_t* destination,
                                                   std::uint32_t byteCount)
{
    const std::uint64_t after = position + byteCount;
    const auto blockSize = static_cast<std::size_t>(std::min<std::uint64_t>(mBlockSize, mByteCount - std::min<std::uint64_t>(after, mByteCount)));
    mOwnBlock.resize(mBlockSize);
    const std::size_t got = mFile.readAt(position, std::span(destination, byteCount), std::span(mOwnBlock.data(), blockSize));
    counted(got);
    mBlockStart = after;
    mBlock = std::span<const std::uint8_t>(mOwnBlock.data(), got > byteCount ? got - byteCount : 0);
    if (got < byteCount + blockSize)
        endAt(position + got);
    return static_cast<std::uint32_t>(std::min<std::size_t>(got, byteCount));
}

void simpleBlockFileStream::counted(std::size_t byteCount)
{
    ++mFileReadCount;
    mFileBytesRead += byteCount;
}

// The file is shorter than it was when opened: the stream ends where its bytes end.
void simpleBlockFileStream::endAt(std::uint64_t size)
{
    if (size >= mByteCount)
        return;
    Log::format("simpleBlockFileStream: %s ended after %ju of %u bytes", mFile.path().c_str(),
                static_cast<std::uintmax_t>(size), mByteCount);
    mByteCount = static_cast<std::uint32_t>(size);
    mStreamPosition = std::min(mStreamPosition, mByteCount);
}

std::size_t simpleBlockFileStream::readBytesAt(std::uint64_t offset, std::span<std::uint8_t> destination)
{
    return mFile.readAt(offset, destination);
}

std::uint64_t simpleBlockFileStream::readableByteCount() const
{
    return mFile.size();
}

bool simpleBlockFileStream::holds(std::uint32_t offset, std::uint32_t byteCount) const
{
    return offset >= mBlockStart && std::uint64_t(offset) + byteCount <= mBlockStart + mBlock.size();
}

const std::shared_ptr<const FileOrigin>& simpleBlockFileStream::origin() const
{
    if (!mOrigin)
        mOrigin = std::make_shared<const FileOrigin>(mFile.path(), mFile.identity());
    return mOrigin;
}

} // namespace qm
