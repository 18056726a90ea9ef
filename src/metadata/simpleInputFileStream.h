#pragma once

#include "metadata/simpleStream.h"

#include <filesystem>

namespace qm {

// A stream over a file that loads it lazily, in order, as far as reads and seeks reach (with a
// read-ahead), so a reader that stops early reads only the head of the file.
class simpleInputFileStream : public simpleStream {
public:
    static constexpr std::uint32_t ReadAhead = 131070;

    explicit simpleInputFileStream(std::filesystem::path path);

    bool setStreamPosition(std::uint32_t position) override;
    std::uint32_t readBytes(void* destination, std::uint32_t byteCount) override;

    // How many bytes of the file have been loaded so far.
    std::uint32_t loadedByteCount() const { return mFilePosition; }

private:
    void loadUpTo(std::uint32_t position);
    std::size_t readFromFile(std::uint8_t* destination, std::uint32_t length) const;
    void endAtLoadedBytes();

    std::vector<std::uint8_t> mData;
    std::filesystem::path mFilePath;
    std::uint32_t mFileSize = 0;
    std::uint32_t mFilePosition = 0;
};

} // namespace qm
