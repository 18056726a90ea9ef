// `layout install-scribus`: Scribus runs the layout script whenever it starts.
#include <fstream>
#include <iostream>
#include <map>

#include "Commands.h"
#include "bridge/LayoutConnection.h"
#include "bridge/ScribusStartupScript.h"
#include "platform/ProcessList.h"

namespace qm::cli {

namespace {

// The preferences file of the running process: its configuration folder from its environment.
// Unknown (another user's process) counts as ours.
std::optional<std::filesystem::path> preferencesOfProcess(int pid)
{
    std::ifstream environ("/proc/" + std::to_string(pid) + "/environ", std::ios::binary);
    if (!environ)
        return std::nullopt;
    std::map<std::string, std::string> variables;
    for (std::string entry; std::getline(environ, entry, '\0');)
        if (const auto equals = entry.find('='); equals != std::string::npos)
            variables[entry.substr(0, equals)] = entry.substr(equals + 1);
    const auto config = variables["XDG_CONFIG_HOME"];
    const std::filesystem::path folder =
        config.empty() ? std::filesystem::path(variables["HOME"]) / ".config" : std::filesystem::path(config);
    return folder / "scribus" / "prefs150.xml";
}

void refuseWhileScribusRuns(const std::filesystem::path& preferences)
{
    for (const auto& process : ProcessList::current()->runningProcesses())
        if (LayoutConnection::isLayoutApplicationName(process.name()) &&
            preferencesOfProcess(process.pid).value_or(preferences) == preferences)
            throw InputError("Scribus is running (process " + std::to_string(process.pid) +
                             "); quit it first: it writes its preferences back when it quits");
}

} // namespace

int installScribus(bool remove)
{
    const auto script = ScribusStartupScript::bundledScript();
    if (!remove && !std::filesystem::is_regular_file(script))
        throw InputError("the layout script " + script.string() + " is missing");
    const ScribusStartupScript preferences;
    refuseWhileScribusRuns(preferences.preferences());
    try {
        const auto change = remove ? preferences.remove(script) : preferences.install(script);
        if (!change.changed)
            std::cout << (remove ? "Scribus does not run the layout script at start-up: nothing to remove\n"
                                 : "Scribus already runs the layout script at start-up\n");
        else if (remove)
            std::cout << "Scribus no longer runs the layout script at start-up"
                      << (change.scriptAfter.empty() ? "" : "; it runs " + change.scriptAfter + " again") << '\n';
        else
            std::cout << "Scribus runs " << script.string() << " whenever it starts\n";
        if (change.backup)
            std::cout << "backup of the preferences: " << change.backup->string() << '\n';
        if (!remove && change.changed && !change.scriptBefore.empty())
            std::cout << "it replaces the start-up script " << change.scriptBefore << '\n';
    } catch (const std::runtime_error& error) {
        throw InputError(error.what());
    }
    return 0;
}

} // namespace qm::cli
