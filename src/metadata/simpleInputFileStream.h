#pragma once

#include "metadata/simpleStream.h"

#include <filesystem>

namespace qm {

// A stream over a file that loads it lazily, in order, as far as reads and seeks reach (with a
// read-ahead), so a reader that stops early reads only the head of the file. A read far beyond
// the loaded head (a directory at the end of a large file) loads only a window around itself,
// so the bytes in between are never read. Reads at an offset (readBytesAt) go straight to the
// file and keep nothing, and reach all of a file larger than 4 GiB.
class simpleInputFileStream : public simpleStream {
public:
    static constexpr std::uint32_t ReadAhead = 131070;
    // How far beyond the loaded head a read may reach before it is served from a window.
    static constexpr std::uint32_t FarReadDistance = 1024 * 1024;

    explicit simpleInputFileStream(std::filesystem::path path);

    bool setStreamPosition(std::uint32_t position) override;
    std::uint32_t readBytes(void* destination, std::uint32_t byteCount) override;
    std::size_t readBytesAt(std::uint64_t offset, std::span<std::uint8_t> destination) override;
    std::uint64_t readableByteCount() const override { return mWholeFileSize; }

    // How many bytes of the file have been loaded so far.
    std::uint32_t loadedByteCount() const { return mFilePosition; }

private:
    void loadUpTo(std::uint32_t position);
    std::size_t readFromFile(std::uint8_t* destination, std::size_t length, std::uint64_t offset) const;
    void endAt(std::uint32_t size);
    bool isFar(std::uint64_t position) const { return position > std::uint64_t(mFilePosition) + FarReadDistance; }
    std::uint32_t readFromWindow(void* destination, std::uint32_t byteCount);
    bool loadWindow(std::uint32_t start, std::uint32_t byteCount);

    std::vector<std::uint8_t> mData;
    std::filesystem::path mFilePath;
    std::uint32_t mFileSize = 0;
    std::uint32_t mFilePosition = 0;
    std::uint64_t mWholeFileSize = 0;
    std::vector<std::uint8_t> mWindow;
    std::uint32_t mWindowStart = 0;
};

} // namespace qm
