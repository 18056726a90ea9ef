#include "platform/Workspace.h"

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

class EmptyWorkspace : public Workspace {
public:
    std::optional<std::filesystem::path> applicationForFile(const std::filesystem::path&) override { return std::nullopt; }
    std::optional<std::filesystem::path> applicationForExtension(const std::string&) override { return std::nullopt; }
    std::vector<std::filesystem::path> applicationsForFile(const std::filesystem::path&) override { return {}; }
    std::vector<std::filesystem::path> applicationsForExtension(const std::string&) override { return {}; }
    bool openFile(const std::filesystem::path&) override { return false; }
    bool openFile(const std::filesystem::path&, const std::filesystem::path&) override { return false; }
    bool revealFile(const std::filesystem::path&) override { return false; }
    std::optional<std::string> displayName(const std::filesystem::path&) override { return std::nullopt; }
    std::optional<std::string> iconName(const std::filesystem::path&) override { return std::nullopt; }
};
} // namespace

std::shared_ptr<Workspace> Workspace::current()
{
    return installedImplementation<Workspace, EmptyWorkspace>().current();
}

void Workspace::install(std::shared_ptr<Workspace> workspace)
{
    installedImplementation<Workspace, EmptyWorkspace>().install(std::move(workspace));
}

} // namespace qm
