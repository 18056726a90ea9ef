#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "foundation/StringEncodings.h"
#include "metadata/cIPTCCode.h"

namespace qm::cli {

int runCodes(CommandLine& arguments, UserDefaults&)
{
    const bool json = arguments.takeFlag("--json");
    if (!arguments.positionals().empty())
        throw UsageError("unexpected argument " + arguments.positionals().front());
    const auto codes = cIPTCCode::allCodesSortedByCode();
    if (json)
        std::cout << '[';
    bool first = true;
    for (const auto& code : codes) {
        const auto record = code.recordType().value_or(0);
        const auto dataSet = code.dataSetCode().value_or(0);
        if (record < 0 || dataSet < 0)
            continue; // the entry that names unknown datasets
        const std::string name = code.name().value_or("");
        if (json)
            std::cout << (first ? "" : ",\n ") << "{\"record\":" << record << ",\"dataset\":" << dataSet
                      << ",\"name\":" << jsonString(name) << '}';
        else
            std::cout << record << ':' << dataSet << '\t' << escapeField(name) << '\n';
        first = false;
    }
    if (json)
        std::cout << "]\n";
    return 0;
}

int runEncodings(CommandLine& arguments, UserDefaults&)
{
    const bool json = arguments.takeFlag("--json");
    if (!arguments.positionals().empty())
        throw UsageError("unexpected argument " + arguments.positionals().front());
    if (json)
        std::cout << '[';
    bool first = true;
    for (const auto& entry : StringEncodings::available()) {
        const std::string name = StringEncodings::localizedName(entry.number);
        if (json)
            std::cout << (first ? "" : ",\n ") << "{\"number\":" << entry.number << ",\"name\":" << jsonString(name)
                      << '}';
        else
            std::cout << entry.number << '\t' << escapeField(name) << '\n';
        first = false;
    }
    if (json)
        std::cout << "]\n";
    return 0;
}

} // namespace qm::cli
