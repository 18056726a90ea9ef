// `apps FILE`: the applications that open a file, as the panel's open-with menu lists them.
#include <filesystem>
#include <iostream>

#include "Commands.h"
#include "Output.h"
#include "platform/Workspace.h"

namespace qm::cli {

int runApps(CommandLine& arguments, UserDefaults&)
{
    const bool json = arguments.takeFlag("--json");
    const auto positionals = arguments.positionals();
    if (positionals.size() != 1)
        throw UsageError("expected one FILE");
    const std::filesystem::path file = positionals[0];
    if (!std::filesystem::exists(file))
        throw InputError("no such file " + file.string());
    const auto workspace = Workspace::current();
    if (json)
        std::cout << '[';
    bool first = true;
    for (const auto& application : workspace->applicationsForFile(file)) {
        const std::string name = workspace->displayName(application).value_or(application.filename().string());
        const auto icon = workspace->iconName(application);
        if (json)
            std::cout << (first ? "" : ",\n ") << "{\"name\":" << jsonString(name)
                      << ",\"path\":" << jsonString(application.string())
                      << ",\"icon\":" << (icon ? jsonString(*icon) : "null") << ",\"default\":" << (first ? "true" : "false")
                      << '}';
        else
            std::cout << escapeField(name) << '\t' << escapeField(application.string()) << '\t'
                      << (icon ? escapeField(*icon) : "-") << '\n';
        first = false;
    }
    if (json)
        std::cout << "]\n";
    return 0;
}

} // namespace qm::cli
