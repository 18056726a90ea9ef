#pragma once

#include "platform/Workspace.h"

namespace qm {

// Opening and showing files through Qt's desktop services, until a workspace that knows the
// desktop's applications is installed: it opens files and folders with their default
// applications and starts a given application on a file, but names no application itself.
class DesktopWorkspace : public Workspace {
public:
    std::optional<std::filesystem::path> applicationForFile(const std::filesystem::path&) override { return std::nullopt; }
    std::optional<std::filesystem::path> applicationForExtension(const std::string&) override { return std::nullopt; }
    bool openFile(const std::filesystem::path& file) override;
    std::optional<std::string> iconName(const std::filesystem::path& application) override;
    bool openFileWithApplication(const std::filesystem::path& file, const std::filesystem::path& application) override;
    // Opens the folder that holds the item.
    bool revealFile(const std::filesystem::path& file) override;
    std::optional<std::string> displayName(const std::filesystem::path& application) override;
};

} // namespace qm
