#pragma once

#include <filesystem>

namespace qm {

// Whether the path names a regular file that this process may read.
bool isReadableFile(const std::filesystem::path& path);

} // namespace qm
