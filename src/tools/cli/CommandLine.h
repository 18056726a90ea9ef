#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "foundation/StringEncodings.h"

namespace qm::cli {

// Wrong usage of the tool: exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Input that cannot be used (missing file, bad value): exit status 1.
struct InputError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The arguments of one subcommand: options are taken out by name, what is left is positional.
class CommandLine {
public:
    explicit CommandLine(std::vector<std::string> arguments) : mArguments(std::move(arguments)) {}

    bool takeFlag(const std::string& name);
    std::optional<std::string> takeValue(const std::string& name);
    // The remaining arguments; an unknown option among them is a usage error.
    std::vector<std::string> positionals() const;
    // The remaining arguments, options included.
    const std::vector<std::string>& remaining() const { return mArguments; }

private:
    std::vector<std::string> mArguments;
};

// Parses a decimal or 0x-prefixed unsigned 32-bit number; InputError when it is not one.
unsigned long parseUnsigned(const std::string& text, const std::string& what);

// "R:D" as record and dataset numbers (0 to 255); InputError otherwise.
std::pair<int, int> parseCode(const std::string& text);

// An available encoding's number; InputError otherwise.
StringEncoding parseEncoding(const std::string& text);

} // namespace qm::cli
