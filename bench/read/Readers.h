#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace qm::bench {

// What one pass of a reader over a set of files found.
struct Tally {
    std::size_t files = 0;
    std::size_t withIPTC = 0;
    std::size_t withXMP = 0;
    std::size_t unreadable = 0; // broken, empty or of no type the reader knows

    Tally& operator+=(const Tally& other);
};

// Reads the IPTC datasets and XMP packet of every file with the program's parsers.
Tally readWithQuillmark(const std::vector<std::filesystem::path>& files);

// Reads them with Exiv2: open, readMetadata, iptcData and xmpPacket.
Tally readWithExiv2(const std::vector<std::filesystem::path>& files);
void prepareExiv2();

// A JPEG and how many of its first bytes hold all its APP1 and APP13 segments.
struct FloorFile {
    std::filesystem::path path;
    std::size_t byteCount = 0;
};

// The files' floors, measured outside any timing; absent when one of them is no JPEG.
std::optional<std::vector<FloorFile>> floorFiles(const std::vector<std::filesystem::path>& files);
// Opens each file, reads its floor's bytes in one call and closes it.
Tally readFloor(const std::vector<FloorFile>& files);

// Runs exiftool once over the given files or folders and counts what it printed; files it could
// not read (exit status 1) count as unreadable.
Tally readWithExiftool(const std::vector<std::string>& targets);
// The exiftool command line before its targets.
std::vector<std::string> exiftoolArguments();

} // namespace qm::bench
