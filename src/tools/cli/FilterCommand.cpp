// `defaults filter`: the datasets the panel shows, in their stored form.
#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "app/CustomIPTCFilter.h"
#include "foundation/UserDefaults.h"

namespace qm::cli {

namespace {

constexpr const char* FilterKey = "customIPTCFilter";

void save(UserDefaults& defaults, const std::vector<CustomIPTCFilter::Entry>& entries)
{
    auto data = CustomIPTCFilter::archive(entries);
    if (!data || !defaults.setObject(FilterKey, PlistValue(std::move(*data))))
        throw InputError("cannot save the settings to " + defaults.filePath().string());
}

int addEntry(const std::vector<std::string>& arguments, UserDefaults& defaults)
{
    if (arguments.size() < 3 || arguments.size() > 4)
        throw UsageError("add takes R:D and an optional LABEL");
    auto entries = CustomIPTCFilter::fromDefaults(defaults);
    const auto [record, dataSet] = parseCode(arguments[2]);
    entries.push_back({cIPTCCode(record, dataSet),
                       arguments.size() == 4 ? std::optional(arguments[3]) : std::nullopt});
    save(defaults, entries);
    if (!defaults.boolForKey("filterIPTCRecords"))
        std::cerr << "quillmark-cli: note: filterIPTCRecords is off, so the panel shows every dataset\n";
    return 0;
}

int listEntries(const std::vector<std::string>& arguments, UserDefaults& defaults)
{
    if (arguments.size() != 2)
        throw UsageError("list takes no arguments");
    const auto entries = CustomIPTCFilter::fromDefaults(defaults);
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const auto& code = entries[index].iptcCode;
        std::cout << index << '\t' << code.recordType().value_or(0) << ':' << code.dataSetCode().value_or(0) << '\t'
                  << escapeField(entries[index].customLabel.value_or(code.name().value_or(""))) << '\n';
    }
    return 0;
}

int removeEntry(const std::vector<std::string>& arguments, UserDefaults& defaults)
{
    if (arguments.size() != 3)
        throw UsageError("remove takes INDEX");
    auto entries = CustomIPTCFilter::fromDefaults(defaults);
    const auto index = parseUnsigned(arguments[2], "index");
    if (index >= entries.size())
        throw InputError("no entry at index " + arguments[2] + " (there are " + std::to_string(entries.size()) + ")");
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    save(defaults, entries);
    return 0;
}

} // namespace

int runFilter(const std::vector<std::string>& arguments, UserDefaults& defaults)
{
    const std::string action = arguments.size() > 1 ? arguments[1] : "";
    if (action == "add")
        return addEntry(arguments, defaults);
    if (action == "list")
        return listEntries(arguments, defaults);
    if (action == "remove")
        return removeEntry(arguments, defaults);
    if (action == "clear" && arguments.size() == 2) {
        save(defaults, {});
        return 0;
    }
    throw UsageError("filter takes add R:D [LABEL], list, remove INDEX or clear");
}

} // namespace qm::cli
