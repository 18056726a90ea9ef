// `front`: the application in front, and each switch to another one.
#include <iostream>

#include "Commands.h"
#include "Interruption.h"
#include "Output.h"
#include "platform/linux/WaylandSession.h"
#include "platform/linux/XcbFrontApplication.h"

namespace qm::cli {

namespace {

void print(const RunningApplication& application, bool json)
{
    if (json)
        std::cout << "{\"name\":" << jsonString(application.name()) << ",\"pid\":" << application.pid
                  << ",\"executable\":" << jsonString(application.executablePath) << '}' << std::endl;
    else
        std::cout << escapeField(application.name()) << '\t' << application.pid << '\t'
                  << escapeField(application.executablePath) << std::endl;
}

} // namespace

int runFront(CommandLine& arguments, UserDefaults&)
{
    const bool watch = arguments.takeFlag("--watch");
    const bool json = arguments.takeFlag("--json");
    if (!arguments.positionals().empty())
        throw UsageError("unexpected argument " + arguments.positionals().front());
    if (const auto note = WaylandSession::limitationsNote())
        std::cerr << *note << '\n';
    auto front = XcbFrontApplication::create();
    if (!front)
        throw InputError("no X display");
    if (!watch) {
        const auto application = front->frontApplication();
        if (!application)
            throw InputError("the front window belongs to no known process");
        print(*application, json);
        return 0;
    }
    front->setSwitchHandler([json](const RunningApplication& application) { print(application, json); });
    std::cerr << "quillmark-cli front: watching; interrupt to stop" << std::endl;
    runTasksUntilInterrupted();
    return 0;
}

} // namespace qm::cli
