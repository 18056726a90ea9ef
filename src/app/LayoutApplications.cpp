#include "app/LayoutApplications.h"

#include <filesystem>

#include "bridge/LayoutConnection.h"

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

} // namespace qm
