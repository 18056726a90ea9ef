#pragma once

#include <cstdint>
#include <filesystem>

#include "corpus/ScanBlock.h"

namespace qm::bench {

// Large pages and vector graphics whose XMP packet, when they have one, lies about 1 KiB before
// the file's end, after `size` bytes of compressed-looking content.

// A PDF of about `size` bytes: objects whose streams hold the block's random data, the metadata
// stream of picture `number` (unless withPacket is false), then the cross-reference table.
void writeLargePdf(const std::filesystem::path& path, int number, std::uint64_t size, bool withPacket,
                   const ScanBlock& scan);

// An EPS file with the binary header: PostScript of about `size` bytes holding binary image data
// and then the packet of picture `number`, followed by a small TIFF preview.
void writeLargeEps(const std::filesystem::path& path, int number, std::uint64_t size, const ScanBlock& scan);

} // namespace qm::bench
