#include "corpus/CorpusFiles.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

#include "corpus/JpegHeader.h"
#include "corpus/TiffDirectory.h"

namespace qm::bench {

namespace {

// A file written with one write() per buffer handed to it.
class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& path)
        : mPath(path), mDescriptor(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644))
    {
        if (mDescriptor < 0)
            fail();
    }
    ~OutputFile() { ::close(mDescriptor); }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::span<const std::uint8_t> bytes)
    {
        while (!bytes.empty()) {
            const ssize_t written = ::write(mDescriptor, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                fail();
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        }
    }

private:
    [[noreturn]] void fail() const
    {
        throw std::system_error(errno, std::generic_category(), "cannot write " + mPath.string());
    }

    std::filesystem::path mPath;
    int mDescriptor;
};

// Each file starts its scan at another place of the block.
std::size_t scanOffset(int number) { return static_cast<std::size_t>(number) * 2654435761u; }

// About 3 bits a pixel, in the 3:2 frame of a press camera.
std::pair<int, int> jpegDimensions(std::uint64_t size)
{
    const double pixels = static_cast<double>(size) * 8 / 3;
    const int width = std::clamp(static_cast<int>(std::sqrt(pixels * 1.5)), 16, 65535);
    const int height = std::clamp(static_cast<int>(pixels / width), 16, 65535);
    return {width, height};
}

TiffDirectory tiffDirectory(const PressMetadata& metadata, int width, int height, std::uint32_t dataSize)
{
    TiffDirectory ifd;
    ifd.addLong(256, static_cast<std::uint32_t>(width));
    ifd.addLong(257, static_cast<std::uint32_t>(height));
    ifd.addShorts(258, {8, 8, 8});
    ifd.addShort(259, 1);      // no compression
    ifd.addShort(262, 2);      // RGB
    ifd.addLong(273, 8);       // one strip right after the header
    ifd.addShort(277, 3);
    ifd.addLong(278, static_cast<std::uint32_t>(height));
    ifd.addLong(279, dataSize);
    ifd.addRational(282, 300, 1);
    ifd.addRational(283, 300, 1);
    ifd.addShort(284, 1);
    ifd.addShort(296, 2);
    ifd.addAscii(305, "Photo Desk 4.2");
    const std::string packet = metadata.xmpPacket();
    ifd.addBytes(700, TiffDirectory::Byte, Bytes(packet.begin(), packet.end()));
    // Stored as LONGs, as image editors do: the datasets padded to a multiple of four bytes.
    Bytes datasets = metadata.iimDatasets();
    datasets.resize((datasets.size() + 3) / 4 * 4, 0);
    ifd.addBytes(33723, TiffDirectory::Long, datasets);
    return ifd;
}

} // namespace

void writePressJpeg(const std::filesystem::path& path, int number, std::uint64_t size, const ScanBlock& scan)
{
    const auto [width, height] = jpegDimensions(size);
    const Bytes header = jpegHeader(PressMetadata(number), width, height);
    const std::uint64_t scanLength = size > header.size() + 2 ? size - header.size() - 2 : 0;
    OutputFile file(path);
    file.write(header);
    file.write(scan.slice(scanOffset(number), scanLength));
    const Bytes endOfImage{0xFF, 0xD9};
    file.write(endOfImage);
}

void writeLargeTiff(const std::filesystem::path& path, int number, std::uint64_t size, const ScanBlock& scan)
{
    constexpr int width = 8192;
    const int height = std::max<int>(1, static_cast<int>(size / (width * 3)));
    const auto dataSize = static_cast<std::uint32_t>(std::uint64_t(width) * height * 3);
    const std::uint32_t directoryOffset = 8 + dataSize + (dataSize & 1);
    Bytes header{'I', 'I', 42, 0};
    appendLittleEndian32(header, directoryOffset);
    OutputFile file(path);
    file.write(header);
    constexpr std::size_t chunk = 8u << 20;
    for (std::uint32_t written = 0, part = 0; written < dataSize; ++part) {
        const auto piece = scan.slice(scanOffset(number + static_cast<int>(part)), std::min<std::size_t>(chunk, dataSize - written));
        file.write(piece);
        written += static_cast<std::uint32_t>(piece.size());
    }
    if (dataSize & 1)
        file.write(Bytes{0});
    file.write(tiffDirectory(PressMetadata(number), width, height, dataSize).layOut(directoryOffset));
}

} // namespace qm::bench
