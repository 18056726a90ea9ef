#pragma once

#include <filesystem>
#include <optional>

namespace qm {

// The program file of an application the user picked: the program of a desktop entry (the first
// word of its "Exec" line, found on the PATH when it is a bare name), or the picked file itself
// when it is a program. None when neither.
std::optional<std::filesystem::path> programOfApplicationFile(const std::filesystem::path& file);

} // namespace qm
