#include "LoginItem.h"

#include <cstdlib>

#include "foundation/Bundle.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

fs::path configFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return config;
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : "") / ".config";
}

} // namespace

fs::path LoginItem::autostartFile()
{
    return configFolder() / "autostart" / "quillmark.desktop";
}

bool LoginItem::isEnabled()
{
    std::error_code error;
    return fs::exists(autostartFile(), error);
}

bool LoginItem::setEnabled(bool enabled)
{
    std::error_code error;
    const fs::path file = autostartFile();
    if (!enabled) {
        fs::remove(file, error);
        return !error;
    }
    fs::create_directories(file.parent_path(), error);
    fs::copy_file(Bundle::main().resourcePath() / "autostart" / "quillmark.desktop", file,
                  fs::copy_options::overwrite_existing, error);
    return !error;
}

} // namespace qm
