#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "foundation/Bundle.h"

namespace qm {

// Scribus's Scripter start-up script preference, in the preferences file Scribus keeps in the
// user's configuration folder (prefs150.xml): when set, every Scribus the user starts runs the
// script. Other preferences are kept as they are; before a change the file is copied to
// prefs150.xml.quillmark-backup. Scribus writes the file back when it quits, so change it only
// while no Scribus runs. Failures throw std::runtime_error with a text for the user.
class ScribusStartupScript {
public:
    struct Change {
        bool changed = false;
        std::string scriptBefore; // the start-up scripts before and after; empty for none
        std::string scriptAfter;
        std::optional<std::filesystem::path> backup;
    };

    // The layout script's entry point in the bundle, as an absolute path.
    static std::filesystem::path bundledScript(const Bundle& bundle = Bundle::main());
    // $XDG_CONFIG_HOME/scribus/prefs150.xml, else ~/.config/scribus/prefs150.xml.
    static std::filesystem::path preferencesPath();

    explicit ScribusStartupScript(std::filesystem::path preferences = preferencesPath());

    const std::filesystem::path& preferences() const { return mPreferences; }
    // The script Scribus runs at start-up; empty when none or when extension scripts are off.
    std::string startupScript() const;

    // Sets the script (an absolute path) and turns extension scripts on; creates the file when
    // Scribus has not written one yet.
    Change install(const std::filesystem::path& script) const;
    // When the script is the start-up script: puts back the start-up script the backup holds, or
    // none.
    Change remove(const std::filesystem::path& script) const;

private:
    std::filesystem::path backupPath() const;

    std::filesystem::path mPreferences;
};

} // namespace qm
