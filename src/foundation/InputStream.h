#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

namespace qm {

// A sequential source of bytes addressed by a file offset.
class InputStream {
public:
    enum class Status { NotOpen, Opening, Open, Reading, Writing, AtEnd, Closed, Error };

    virtual ~InputStream() = default;

    // Up to maxLength bytes into buffer: the count read, 0 at the end, -1 on error.
    virtual std::int64_t read(std::uint8_t* buffer, std::size_t maxLength) = 0;
    // The current file offset; absent for a stream that has none.
    virtual std::optional<std::uint64_t> fileOffset() const = 0;
    // Moves to a file offset; false when the stream refuses it.
    virtual bool setFileOffset(std::uint64_t offset) = 0;
    virtual Status status() const = 0;
};

// An input stream over an open file descriptor.
class FileDescriptorInputStream : public InputStream {
public:
    // Opens a file for reading; null when it cannot be opened.
    static std::shared_ptr<FileDescriptorInputStream> open(const std::filesystem::path& path);
    FileDescriptorInputStream(int fileDescriptor, bool closeWhenDestroyed);
    ~FileDescriptorInputStream() override;
    FileDescriptorInputStream(const FileDescriptorInputStream&) = delete;
    FileDescriptorInputStream& operator=(const FileDescriptorInputStream&) = delete;

    std::int64_t read(std::uint8_t* buffer, std::size_t maxLength) override;
    std::optional<std::uint64_t> fileOffset() const override;
    bool setFileOffset(std::uint64_t offset) override;
    Status status() const override;

private:
    int mFileDescriptor;
    bool mCloseWhenDestroyed;
    Status mStatus = Status::Open;
};

} // namespace qm
