#pragma once

#include <cstdint>
#include <filesystem>

#include "corpus/OutputFile.h"
#include "corpus/ScanBlock.h"

namespace qm::bench {

// Writes `length` bytes of the block's random data, from a place of the block chosen by `number`.
void writeScanBytes(OutputFile& file, const ScanBlock& scan, int number, std::uint64_t length);

// Writes a JPEG of about `size` bytes: the metadata of picture `number`, then a scan taken from
// the block, then the end-of-image marker.
void writePressJpeg(const std::filesystem::path& path, int number, std::uint64_t size, const ScanBlock& scan);

// Writes an uncompressed RGB TIFF of about `size` bytes whose only directory, with the XMP
// (tag 700) and IPTC (tag 33723) of picture `number`, follows the image data at the file's end.
void writeLargeTiff(const std::filesystem::path& path, int number, std::uint64_t size, const ScanBlock& scan);

} // namespace qm::bench
