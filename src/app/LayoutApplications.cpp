#include "app/LayoutApplications.h"

#include <filesystem>

#include "applications/applicationInstancePathTransformer.h"
#include "bridge/LayoutConnection.h"
#include "foundation/UserDefaults.h"

namespace qm {

std::vector<applicationInstancePath::Pointer> LayoutApplications::installed()
{
    applicationInstanceArrayController controller;
    configure(controller);
    return controller.arrangedObjects();
}

void LayoutApplications::configure(applicationInstanceArrayController& controller)
{
    controller.setDelegate([](const applicationInstanceArrayController&, const std::string& path) {
        return LayoutConnection::isLayoutApplicationName(std::filesystem::path(path).filename().string());
    });
    if (controller.filetypeSuffix() == LayoutConnection::DocumentExtension)
        controller.loadApplications();
    else
        controller.setFiletypeSuffix(LayoutConnection::DocumentExtension);
}

std::optional<std::string> LayoutApplications::preferredApplicationPath(const UserDefaults& defaults)
{
    const auto data = defaults.dataForKey(PreferredApplicationKey);
    if (!data)
        return std::nullopt;
    const std::any path = applicationInstancePathFromDataTransformer().transformedValue(*data);
    const auto* text = std::any_cast<std::string>(&path);
    return text ? std::optional(*text) : std::nullopt;
}

void LayoutApplications::setPreferredApplicationPath(UserDefaults& defaults, const std::optional<std::string>& path)
{
    const auto data = path ? archivedData(applicationInstancePath(path)) : std::nullopt;
    if (data)
        defaults.setObject(PreferredApplicationKey, PlistValue(*data));
    else
        defaults.removeObject(PreferredApplicationKey);
}

} // namespace qm
