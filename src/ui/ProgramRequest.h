#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm {

// One request line on the program's socket, from a later start of the program:
//   "open\t<absolute path>"  show that file;   "show"   come forward;
//   "preferences"            show the preferences;   "shown"   answer what the panel shows.
// Anything else is Unknown and is answered with an error, doing nothing.
struct ProgramRequest {
    enum class Kind { Open, Show, Preferences, Shown, Unknown };

    // The longest request line taken; a longer one closes its connection.
    static constexpr std::size_t MaximumLineBytes = 64 * 1024;

    Kind kind = Kind::Unknown;
    std::string file; // Open: the file's absolute path

    // The request a line (without its "\n") asks for.
    static ProgramRequest parse(std::string_view line);
    // The line (with its "\n") that hands a file over, or asks the program to come forward.
    static std::string lineFor(const std::optional<std::string>& file);
};

} // namespace qm
