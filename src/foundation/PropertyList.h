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
class PropertyList {
public:
    // Either format, recognised by content.
    static std::optional<PlistValue> fromBytes(std::span<const std::uint8_t> bytes);
    // Null values cannot be stored in a property list: they give an absent result.
    static std::optional<std::vector<std::uint8_t>> toBytes(const PlistValue& value, PlistFormat format);

    static std::optional<PlistValue> readFile(const std::filesystem::path& path);
    // Writes a temporary file in the same folder, flushes it and renames it over the target,
    // so the target holds either its old contents or exactly the new ones.
    static bool writeFileAtomically(const std::filesystem::path& path, const PlistValue& value,
                                    PlistFormat format);
};

} // namespace qm
