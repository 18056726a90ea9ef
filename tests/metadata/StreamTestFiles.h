#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace qm::test {

// A file in the test program's own temporary folder, which the test main removes at the end.
inline std::filesystem::path writeStreamTestFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    const auto folder = std::filesystem::temp_directory_path() / ("quillmark-tests-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto path = folder / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Bytes whose value depends on their offset, so a byte from the wrong place shows.
inline std::vector<std::uint8_t> offsetPatternBytes(std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t index = 0; index < count; ++index)
        bytes[index] = static_cast<std::uint8_t>((index * 7 + index / 251) % 256);
    return bytes;
}

} // namespace qm::test
