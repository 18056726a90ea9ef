#include "platform/linux/LinuxDesktop.h"

#include "foundation/Log.h"
#include "platform/linux/GioWorkspace.h"
#include "platform/linux/WaylandSession.h"
#include "platform/linux/XcbFrontApplication.h"
#include "platform/linux/XcbHotKeyRegistrar.h"
#include "platform/linux/XcbModifierKeys.h"

namespace qm {

std::optional<std::string> LinuxDesktop::install(const char* displayName)
{
    Workspace::install(std::make_shared<GioWorkspace>());
    HotKeyRegistrar::install(XcbHotKeyRegistrar::create(displayName));
    FrontApplication::install(XcbFrontApplication::create(displayName));
    ModifierKeys::install(XcbModifierKeys::create(displayName));
    auto note = WaylandSession::limitationsNote();
    if (note)
        Log::message(*note);
    return note;
}

} // namespace qm
