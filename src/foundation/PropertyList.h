#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "foundation/PlistValue.h"

namespace qm {

enum class PlistFormat { Xml, Binary };

// Reading and writing property lists (XML or binary) through libplist.
// Failures give an absent value or false, with a log line; nothing throws.
// Limits of libplist 2.2: dates are kept to the microsecond (XML: to the second), and written only
// between 1933 and 2069 (read beyond, to the second); nesting deeper than 512 levels is refused.
class PropertyList {
public:
    // Either format, recognised by content ("bplist00" starts a binary one). An integer above
    // INT64_MAX reads as a real number; a binary UID as the dictionary {"CF$UID": n}.
    static std::optional<PlistValue> fromBytes(std::span<const std::uint8_t> bytes);
    // Refused (absent result): null values, strings or keys that are not UTF-8 or hold NUL,
    // dates outside the range above.
    static std::optional<std::vector<std::uint8_t>> toBytes(const PlistValue& value, PlistFormat format);

    // A missing file gives nothing without a log line; an unreadable or corrupt one is logged.
    static std::optional<PlistValue> readFile(const std::filesystem::path& path);
    // Writes a temporary file in the same folder, flushes it and renames it over the target,
    // so the target holds either its old contents or exactly the new ones. Missing folders are
    // created; an existing file keeps its permissions; a symbolic link is written through.
    static bool writeFileAtomically(const std::filesystem::path& path, const PlistValue& value,
                                    PlistFormat format);
};

} // namespace qm
