#pragma once

#include <functional>
#include <optional>
#include <string>

namespace qm {

// What a Wayland session's compositor keeps from a program that runs through XWayland.
class WaylandSession {
public:
    using Environment = std::function<const char*(const char* name)>;

    // A note in plain words for the user when the session is Wayland (XDG_SESSION_TYPE is
    // "wayland" or WAYLAND_DISPLAY is set); none in an X11 session.
    static std::optional<std::string> limitationsNote(const Environment& environment = defaultEnvironment);

private:
    static const char* defaultEnvironment(const char* name);
};

} // namespace qm
