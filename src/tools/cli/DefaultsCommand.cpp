#include <cerrno>
#include <cstdlib>
#include <iostream>

#include "Commands.h"
#include "KeyArgument.h"
#include "Output.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/UserDefaults.h"
#include "hotkeys/hotKey.h"
#include "textgen/PublicationSettingsFile.h"

namespace qm::cli {

namespace {

std::string onlyArgument(const std::vector<std::string>& positionals, std::size_t index, const char* what)
{
    if (positionals.size() <= index)
        throw UsageError(std::string("missing ") + what);
    if (positionals.size() > index + 1)
        throw UsageError("unexpected argument " + positionals[index + 1]);
    return positionals[index];
}

int readDefaults(const std::vector<std::string>& positionals, bool json, UserDefaults& defaults)
{
    if (positionals.size() > 2)
        throw UsageError("unexpected argument " + positionals[2]);
    if (positionals.size() == 2) {
        auto value = defaults.object(positionals[1]);
        if (!value)
            throw InputError("no value for key " + positionals[1]);
        std::cout << (json ? jsonValue(*value) : plainValue(*value)) << '\n';
        return 0;
    }
    const PlistDictionary all = defaults.dictionaryRepresentation();
    if (json) {
        std::cout << jsonValue(PlistValue(all)) << '\n';
        return 0;
    }
    for (const auto& [key, value] : all)
        std::cout << escapeField(key) << '\t' << escapeField(plainValue(value)) << '\n';
    return 0;
}

PlistData parseHex(const std::string& text)
{
    auto digit = [&](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        throw InputError("bad hexadecimal data: " + text);
    };
    if (text.size() % 2)
        throw InputError("bad hexadecimal data (odd number of digits): " + text);
    PlistData data;
    for (std::size_t i = 0; i < text.size(); i += 2)
        data.push_back(static_cast<std::uint8_t>(digit(text[i]) << 4 | digit(text[i + 1])));
    return data;
}

PlistValue typedValue(const std::string& type, const std::string& text)
{
    if (type == "-string")
        return PlistValue(text);
    if (type == "-int") {
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end || errno == ERANGE)
            throw InputError("bad integer: " + text);
        return PlistValue(static_cast<std::int64_t>(value));
    }
    if (type == "-float") {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end)
            throw InputError("bad number: " + text);
        return PlistValue(value);
    }
    if (type == "-bool") {
        if (text == "true" || text == "yes" || text == "YES" || text == "1")
            return PlistValue(true);
        if (text == "false" || text == "no" || text == "NO" || text == "0")
            return PlistValue(false);
        throw InputError("bad boolean (true or false): " + text);
    }
    if (type == "-data")
        return PlistValue(parseHex(text));
    if (type == "-hotkey") {
        const hotKey key(parseKeyArgument(text));
        if (!hotKey::acceptsCapturedEvent(*key.hotKeyEvent()))
            throw InputError("a hot key needs ctrl or super, or a function or navigation key");
        return PlistValue(*archivedData(key));
    }
    throw UsageError("unknown value type " + type);
}

int writeDefault(const std::vector<std::string>& arguments, UserDefaults& defaults)
{
    if (arguments.size() != 4)
        throw UsageError("write takes KEY and one typed value");
    if (!defaults.setObject(arguments[1], typedValue(arguments[2], arguments[3])))
        throw InputError("cannot save the settings to " + defaults.filePath().string());
    return 0;
}

int deleteDefault(const std::vector<std::string>& positionals, UserDefaults& defaults)
{
    const std::string key = onlyArgument(positionals, 1, "KEY");
    if (!defaults.persistentDomain().contains(key))
        throw InputError("no stored value for key " + key);
    if (!defaults.removeObject(key))
        throw InputError("cannot save the settings to " + defaults.filePath().string());
    return 0;
}

int exportDefaults(const std::vector<std::string>& positionals, UserDefaults& defaults)
{
    const std::string file = onlyArgument(positionals, 1, "FILE");
    if (!PublicationSettingsFile::exportSettingsToFile(file, defaults, nullptr))
        throw InputError("cannot write " + file);
    return 0;
}

} // namespace

int runDefaults(CommandLine& arguments, UserDefaults& defaults)
{
    const bool json = arguments.takeFlag("--json");
    // The typed values of write start with a dash, so its arguments are taken as they are.
    const std::vector<std::string> all = arguments.remaining();
    if (all.empty())
        throw UsageError("missing action (read, write, delete or export)");
    const std::string& action = all.front();
    if (action == "write")
        return writeDefault(all, defaults);
    if (action == "encoding-spec")
        return runEncodingSpec(all, defaults);
    if (action == "filter")
        return runFilter(all, defaults);
    const std::vector<std::string> positionals = arguments.positionals();
    if (action == "read")
        return readDefaults(positionals, json, defaults);
    if (action == "delete")
        return deleteDefault(positionals, defaults);
    if (action == "export")
        return exportDefaults(positionals, defaults);
    throw UsageError("unknown action " + action);
}

} // namespace qm::cli
