#pragma once

#include <filesystem>

namespace qm {

// Starting the program when the user logs in: the bundle's autostart/quillmark.desktop copied
// into the desktop's autostart folder ($XDG_CONFIG_HOME/autostart, else ~/.config/autostart).
class LoginItem {
public:
    static std::filesystem::path autostartFile();
    static bool isEnabled();
    // Copies or removes the entry; false when that failed.
    static bool setEnabled(bool enabled);
};

} // namespace qm
