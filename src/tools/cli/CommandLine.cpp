#include "CommandLine.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace qm::cli {

bool CommandLine::takeFlag(const std::string& name)
{
    auto found = std::find(mArguments.begin(), mArguments.end(), name);
    if (found == mArguments.end())
        return false;
    mArguments.erase(found);
    return true;
}

std::optional<std::string> CommandLine::takeValue(const std::string& name)
{
    auto found = std::find(mArguments.begin(), mArguments.end(), name);
    if (found == mArguments.end())
        return std::nullopt;
    if (found + 1 == mArguments.end())
        throw UsageError("option " + name + " needs a value");
    std::string value = *(found + 1);
    mArguments.erase(found, found + 2);
    return value;
}

std::vector<std::string> CommandLine::positionals() const
{
    for (const auto& argument : mArguments)
        if (argument.size() > 1 && argument[0] == '-')
            throw UsageError("unknown option " + argument);
    return mArguments;
}

unsigned long parseUnsigned(const std::string& text, const std::string& what)
{
    errno = 0;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 0);
    if (text.empty() || text[0] == '-' || *end != '\0' || errno == ERANGE || value > 0xFFFFFFFFul)
        throw InputError("bad " + what + ": " + text);
    return value;
}

std::pair<int, int> parseCode(const std::string& text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos)
        throw InputError("bad dataset " + text + ": give it as RECORD:DATASET with numbers up to 255, e.g. 2:120");
    const auto record = parseUnsigned(text.substr(0, colon), "record number");
    const auto dataSet = parseUnsigned(text.substr(colon + 1), "dataset number");
    if (record > 255 || dataSet > 255)
        throw InputError("bad dataset " + text + ": give it as RECORD:DATASET with numbers up to 255, e.g. 2:120");
    return {static_cast<int>(record), static_cast<int>(dataSet)};
}

StringEncoding parseEncoding(const std::string& text)
{
    const auto encoding = static_cast<StringEncoding>(parseUnsigned(text, "encoding"));
    if (!StringEncodings::isAvailable(encoding))
        throw InputError("unknown encoding " + text + " (see `quillmark-cli encodings`)");
    return encoding;
}

} // namespace qm::cli
