#pragma once

#include <optional>
#include <string>

namespace qm {

// The Linux implementations of the desktop's platform interfaces, for the program to install
// at start-up: the workspace through GIO, and global hot keys, the front application and the
// modifier keys through X11 when a display can be reached (the stand-ins stay otherwise).
class LinuxDesktop {
public:
    // Installs them and logs the Wayland note once, when there is one; returns it for showing.
    static std::optional<std::string> install(const char* displayName = nullptr);
};

} // namespace qm
