#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "foundation/ReadOnlyFile.h"

namespace qm {

// The file some bytes were read from, as it was then: reads more of it later, as long as the
// file is still that one, unchanged.
class FileOrigin {
public:
    FileOrigin(std::filesystem::path path, FileIdentity identity);

    const std::filesystem::path& path() const { return mPath; }
    // byteCount bytes from offset; absent (with a log line) when the file cannot be opened, has
    // changed since, or holds fewer bytes there.
    std::optional<std::vector<std::uint8_t>> read(std::uint64_t offset, std::uint32_t byteCount) const;

private:
    std::filesystem::path mPath;
    FileIdentity mIdentity;
};

} // namespace qm
