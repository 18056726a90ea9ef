#include "applications/applicationInstanceArrayController.h"

#include <algorithm>

#include "platform/Workspace.h"

namespace qm {

// The desktop answers by the extension's MIME type, so no probe file is written; it knows no
// roles, so every application that opens the type counts.
std::vector<applicationInstancePath::Pointer>
applicationInstanceArrayController::applicationsThatCanHandleFileOfType(const std::string& suffix, std::uint32_t)
{
    std::vector<std::pair<std::string, applicationInstancePath::Pointer>> described;
    for (const auto& program : Workspace::current()->applicationsForExtension(suffix)) {
        auto application = std::make_shared<applicationInstancePath>(program.string());
        described.emplace_back(application->description(), std::move(application));
    }
    std::stable_sort(described.begin(), described.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<applicationInstancePath::Pointer> applications;
    for (auto& entry : described)
        applications.push_back(std::move(entry.second));
    return applications;
}

void applicationInstanceArrayController::setFiletypeSuffix(std::optional<std::string> suffix)
{
    if (suffix == mFiletypeSuffix)
        return;
    willChangeValueForKey("didFindApps");
    mFiletypeSuffix = std::move(suffix);
    didChangeValueForKey("didFindApps");
    loadApplications();
}

void applicationInstanceArrayController::setAppRole(std::uint32_t role)
{
    mAppRole = role;
    loadApplications();
}

void applicationInstanceArrayController::loadApplications()
{
    std::vector<applicationInstancePath::Pointer> kept;
    if (mFiletypeSuffix)
        for (auto& application : applicationsThatCanHandleFileOfType(*mFiletypeSuffix, mAppRole))
            if (shouldAddApplicationPath(application->path().value_or("")))
                kept.push_back(std::move(application));
    setArrangedObjects(std::move(kept));
}

bool applicationInstanceArrayController::shouldAddApplicationPath(const std::string& path) const
{
    return !mDelegate || mDelegate(*this, path);
}

void applicationInstanceArrayController::setArrangedObjects(std::vector<applicationInstancePath::Pointer> applications)
{
    willChangeValueForKey("arrangedObjects");
    willChangeValueForKey("didFindApps");
    mDidFindApps = !applications.empty();
    mArrangedObjects = std::move(applications);
    didChangeValueForKey("didFindApps");
    didChangeValueForKey("arrangedObjects");
}

} // namespace qm
