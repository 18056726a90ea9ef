#include "platform/linux/WaylandSession.h"

#include <cstdlib>
#include <string_view>

namespace qm {

std::optional<std::string> WaylandSession::limitationsNote(const Environment& environment)
{
    const char* sessionType = environment("XDG_SESSION_TYPE");
    const char* waylandDisplay = environment("WAYLAND_DISPLAY");
    const bool wayland = (sessionType && std::string_view(sessionType) == "wayland") || (waylandDisplay && *waylandDisplay);
    if (!wayland)
        return std::nullopt;
    return "This desktop session uses Wayland, and Quillmark runs through XWayland. The compositor does "
           "not pass global hot keys to Quillmark while a Wayland window has the focus, and does not tell it "
           "which application is in front, so the panel does not hide and show itself as you switch "
           "applications. Everything else works as usual.";
}

const char* WaylandSession::defaultEnvironment(const char* name)
{
    return std::getenv(name);
}

} // namespace qm
