// `defaults encoding-spec`: the alternate encoding specs in their stored form.
#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "foundation/ArchiveReader.h"
#include "foundation/UserDefaults.h"
#include "metadata/textEncoding.h"

namespace qm::cli {

namespace {

constexpr const char* SpecsKey = "alternateEncodingSpecs";

// A number, or the exact name of an encoding.
StringEncoding encodingNamed(const std::string& text)
{
    if (auto byName = textEncoding::getTextEncodingByName(text))
        return byName->rawEncoding();
    return parseEncoding(text);
}

void save(UserDefaults& defaults, PlistArray specs)
{
    if (!defaults.setObject(SpecsKey, PlistValue(std::move(specs))))
        throw InputError("cannot save the settings to " + defaults.filePath().string());
}

int addSpec(const std::vector<std::string>& arguments, UserDefaults& defaults)
{
    if (arguments.size() != 4)
        throw UsageError("add takes SEARCH and ENCODING");
    if (arguments[2].empty())
        throw InputError("the search text is empty: such a spec never matches");
    auto archived = archivedData(textEncoding(encodingNamed(arguments[3])));
    if (!archived)
        throw InputError("cannot archive the encoding");
    PlistArray specs = defaults.arrayForKey(SpecsKey).value_or(PlistArray{});
    specs.push_back(PlistValue(PlistDictionary{{"search", PlistValue(arguments[2])}, {"encoding", PlistValue(*archived)}}));
    save(defaults, std::move(specs));
    if (!defaults.boolForKey("useAlternateEncodingSpecs"))
        std::cerr << "quillmark-cli: note: useAlternateEncodingSpecs is off, so the specs take no part in the guess\n";
    return 0;
}

std::string describe(const PlistValue& spec)
{
    const PlistValue* search = spec.find("search");
    const PlistValue* archived = spec.find("encoding");
    auto encoding = archived && archived->data() ? unarchiveObject<textEncoding>(*archived->data()) : std::nullopt;
    return escapeField(search && search->string() ? *search->string() : "") + '\t' +
           (encoding ? std::to_string(encoding->rawEncoding()) + '\t' + escapeField(encoding->name())
                     : std::string("-\t(unreadable)"));
}

int listSpecs(const std::vector<std::string>& arguments, UserDefaults& defaults)
{
    if (arguments.size() != 2)
        throw UsageError("list takes no arguments");
    const PlistArray specs = defaults.arrayForKey(SpecsKey).value_or(PlistArray{});
    for (std::size_t index = 0; index < specs.size(); ++index)
        std::cout << index << '\t' << describe(specs[index]) << '\n';
    return 0;
}

int removeSpec(const std::vector<std::string>& arguments, UserDefaults& defaults)
{
    if (arguments.size() != 3)
        throw UsageError("remove takes INDEX");
    PlistArray specs = defaults.arrayForKey(SpecsKey).value_or(PlistArray{});
    const auto index = parseUnsigned(arguments[2], "index");
    if (index >= specs.size())
        throw InputError("no spec at index " + arguments[2] + " (there are " + std::to_string(specs.size()) + ")");
    specs.erase(specs.begin() + static_cast<std::ptrdiff_t>(index));
    save(defaults, std::move(specs));
    return 0;
}

} // namespace

int runEncodingSpec(const std::vector<std::string>& arguments, UserDefaults& defaults)
{
    const std::string action = arguments.size() > 1 ? arguments[1] : "";
    if (action == "add")
        return addSpec(arguments, defaults);
    if (action == "list")
        return listSpecs(arguments, defaults);
    if (action == "remove")
        return removeSpec(arguments, defaults);
    throw UsageError("encoding-spec takes add SEARCH ENCODING, list or remove INDEX");
}

} // namespace qm::cli
