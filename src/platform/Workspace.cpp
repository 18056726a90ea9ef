#include "platform/Workspace.h"

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

class EmptyWorkspace : public Workspace {
public:
    std::optional<std::filesystem::path> applicationForFile(const std::filesystem::path&) override { return std::nullopt; }
    std::optional<std::filesystem::path> applicationForExtension(const std::string&) override { return std::nullopt; }
    bool openFile(const std::filesystem::path&) override { return false; }
    std::optional<std::string> iconName(const std::filesystem::path&) override { return std::nullopt; }
};

InstalledImplementation<Workspace, EmptyWorkspace>& installedWorkspace()
{
    static InstalledImplementation<Workspace, EmptyWorkspace> instance;
    return instance;
}

} // namespace

std::shared_ptr<Workspace> Workspace::current()
{
    return installedWorkspace().current();
}

void Workspace::install(std::shared_ptr<Workspace> workspace)
{
    installedWorkspace().install(std::move(workspace));
}

} // namespace qm
