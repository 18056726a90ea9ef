// `hotkeys test KEY`: a global hot key registered as the program registers its own.
#include <iostream>

#include "Commands.h"
#include "Interruption.h"
#include "KeyArgument.h"
#include "app/GlobalHotKeys.h"
#include "hotkeys/hotKey.h"
#include "platform/linux/WaylandSession.h"
#include "platform/linux/XcbHotKeyRegistrar.h"

namespace qm::cli {

int runHotKeys(CommandLine& arguments, UserDefaults&)
{
    const auto positionals = arguments.positionals();
    if (positionals.size() != 2 || positionals[0] != "test")
        throw UsageError("expected test KEY");
    hotKey key(parseKeyArgument(positionals[1]));
    if (!hotKey::acceptsCapturedEvent(*key.hotKeyEvent()))
        throw InputError("a hot key needs ctrl or super, or a function or navigation key");

    if (const auto note = WaylandSession::limitationsNote())
        std::cerr << *note << '\n';
    HotKeyRegistrar::install(XcbHotKeyRegistrar::create());
    const auto registrar = HotKeyRegistrar::current();
    const std::string name = key.menuItemString();
    registrar->setPressedHandler([&name](HotKeyID) { std::cout << "pressed\t" << name << std::endl; });
    if (!key.installHotKeyRef({GlobalHotKeys::Signature, GlobalHotKeys::MakeBylineID}))
        throw InputError(name + ": " + registrar->refusalReason().value_or("refused"));
    std::cerr << "quillmark-cli hotkeys: " << name << " is registered; interrupt to stop" << std::endl;
    runTasksUntilInterrupted();
    key.clearHotKeyRef();
    return 0;
}

} // namespace qm::cli
