#include "corpus/CorpusFiles.h"

#include <algorithm>
#include <cmath>

#include "corpus/JpegHeader.h"
#include "corpus/OutputFile.h"
#include "corpus/TiffDirectory.h"

namespace qm::bench {

namespace {

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

void writeScanBytes(OutputFile& file, const ScanBlock& scan, int number, std::uint64_t length)
{
    constexpr std::size_t chunk = 8u << 20;
    for (std::uint64_t written = 0, part = 0; written < length; ++part) {
        const auto piece = scan.slice(scanOffset(number + static_cast<int>(part)), std::min<std::uint64_t>(chunk, length - written));
        file.write(piece);
        written += piece.size();
    }
}

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
    writeScanBytes(file, scan, number, dataSize);
    if (dataSize & 1)
        file.write(Bytes{0});
    file.write(tiffDirectory(PressMetadata(number), width, height, dataSize).layOut(directoryOffset));
}

} // namespace qm::bench
