#pragma once

#include "metadata/simpleStream.h"

#include <memory>

namespace qm {

class FileOrigin;
class ReadOnlyFile;

// A stream over an open file that holds one block of it at a time. A read inside the block is a
// copy; a read outside it reads a new block at the read's position, and a read larger than a
// block goes straight to its destination, bringing the block after it in the same call. Setting
// the position reads nothing, so bytes a reader steps over are never read. The stream holds no
// contiguous copy of the file: basePtr and offsetPtr are null. It must not outlive the file.
class simpleBlockFileStream : public simpleStream {
public:
    // The file's head (ReadOnlyFile::head), when read, is the first block.
    simpleBlockFileStream(ReadOnlyFile& file, std::uint32_t blockSize);
    ~simpleBlockFileStream() override;

    std::uint32_t readBytes(void* destination, std::uint32_t byteCount) override;
    std::size_t readBytesAt(std::uint64_t offset, std::span<std::uint8_t> destination) override;
    std::uint64_t readableByteCount() const override;

    // The bytes lie in the block held now: reading them costs no file access.
    bool holds(std::uint32_t offset, std::uint32_t byteCount) const;
    // The file as it was opened, for reading bytes that were stepped over later.
    const std::shared_ptr<const FileOrigin>& origin() const;
    // Reads from the file so far (the head included) and the bytes they brought.
    std::uint32_t fileReadCount() const { return mFileReadCount; }
    std::uint64_t fileBytesRead() const { return mFileBytesRead; }

private:
    std::uint32_t copyFromBlock(std::uint64_t position, std::uint8_t* destination, std::uint32_t byteCount) const;
    bool loadBlock(std::uint64_t position);
    std::uint32_t readPastBlock(std::uint64_t position, std::uint8_t* destination, std::uint32_t byteCount);
    void counted(std::size_t byteCount);
    void endAt(std::uint64_t size);

    ReadOnlyFile& mFile;
    std::uint32_t mBlockSize;
    std::vector<std::uint8_t> mOwnBlock;
    std::span<const std::uint8_t> mBlock;
    std::uint64_t mBlockStart = 0;
    std::uint32_t mFileReadCount = 0;
    std::uint64_t mFileBytesRead = 0;
    mutable std::shared_ptr<const FileOrigin> mOrigin;
};

} // namespace qm
