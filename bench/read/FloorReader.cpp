// The floor of reading a JPEG's IPTC and XMP: open the file, read its bytes up to the end of its
// last APP1 or APP13 segment in one call, close it. No reader can do less.
#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "read/Readers.h"

namespace qm::bench {

namespace {

constexpr std::uint8_t APP1 = 0xE1, APP13 = 0xED, StartOfScan = 0xDA, EndOfImage = 0xD9;

std::vector<std::uint8_t> contents(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Where the last APP1 or APP13 segment before the image data ends; absent for no JPEG.
std::optional<std::size_t> metadataEnd(const std::vector<std::uint8_t>& bytes)
{
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return std::nullopt;
    std::size_t end = 2;
    for (std::size_t at = 2; at + 4 <= bytes.size() && bytes[at] == 0xFF;) {
        const std::uint8_t marker = bytes[at + 1];
        const std::size_t length = std::size_t(bytes[at + 2]) << 8 | bytes[at + 3];
        if (marker == StartOfScan || marker == EndOfImage || length < 2)
            break;
        at += 2 + length;
        if (marker == APP1 || marker == APP13)
            end = std::min(at, bytes.size());
    }
    return end;
}

} // namespace

std::optional<std::vector<FloorFile>> floorFiles(const std::vector<std::filesystem::path>& files)
{
    std::vector<FloorFile> floor;
    for (const auto& path : files) {
        const auto end = metadataEnd(contents(path));
        if (!end)
            return std::nullopt;
        floor.push_back({path, *end});
    }
    return floor;
}

Tally readFloor(const std::vector<FloorFile>& files)
{
    static std::vector<std::uint8_t> buffer;
    Tally tally;
    for (const auto& file : files) {
        buffer.resize(std::max(buffer.size(), file.byteCount));
        ++tally.files;
        const int descriptor = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            ++tally.unreadable;
            continue;
        }
        if (::read(descriptor, buffer.data(), file.byteCount) != static_cast<ssize_t>(file.byteCount))
            ++tally.unreadable;
        ::close(descriptor);
    }
    return tally;
}

} // namespace qm::bench
