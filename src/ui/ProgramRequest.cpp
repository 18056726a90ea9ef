#include "ui/ProgramRequest.h"

namespace qm {

namespace {

constexpr std::string_view OpenPrefix = "open\t";

// A path a later start hands over: absolute (it made it so) and without a NUL, which no file
// name holds.
bool isHandedOverPath(std::string_view path)
{
    return !path.empty() && path.front() == '/' && path.find('\0') == std::string_view::npos;
}

} // namespace

ProgramRequest ProgramRequest::parse(std::string_view line)
{
    if (line == "show")
        return {Kind::Show, {}};
    if (line == "preferences")
        return {Kind::Preferences, {}};
    if (line == "shown")
        return {Kind::Shown, {}};
    if (line.starts_with(OpenPrefix) && isHandedOverPath(line.substr(OpenPrefix.size())))
        return {Kind::Open, std::string(line.substr(OpenPrefix.size()))};
    return {Kind::Unknown, {}};
}

std::string ProgramRequest::lineFor(const std::optional<std::string>& file)
{
    return (file ? std::string(OpenPrefix) + *file : std::string("show")) + "\n";
}

} // namespace qm
