#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace qm {

// What tells one state of a file from another: the same file, unchanged since it was looked at.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    bool operator==(const FileIdentity&) const = default;
};

// A regular file open for reading through one descriptor, closed with the object. Opening never
// waits (a FIFO or device is refused, not opened for a writer). Reads go to explicit offsets, so
// a reader makes one open, a few reads and one close.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(std::filesystem::path path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // False when the path could not be opened or names no regular file.
    bool isOpen() const { return mDescriptor >= 0; }
    const std::filesystem::path& path() const { return mPath; }
    std::uint64_t size() const { return mIdentity.size; }
    const FileIdentity& identity() const { return mIdentity; }
    // Another process holds an exclusive lock on the file: it is being written.
    bool isLockedForWriting() const;

    // Up to destination.size() bytes from offset; the count read, short at the end of the file.
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> destination) const;
    // Fills two buffers with the bytes from offset on in one read; the count read.
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> first, std::span<std::uint8_t> second) const;
    // The file's first bytes, read once: up to byteCount on the first call, the same bytes after it.
    std::span<const std::uint8_t> head(std::uint32_t byteCount);
    // The head as read so far: empty until head() is called.
    std::span<const std::uint8_t> headRead() const { return mHead; }

private:
    std::filesystem::path mPath;
    int mDescriptor = -1;
    FileIdentity mIdentity;
    std::vector<std::uint8_t> mHead;
    bool mHeadRead = false;
};

} // namespace qm
