#include "platform/DocumentApplications.h"

#include "platform/InstalledImplementation.h"

namespace qm {

namespace {

// Stands in until a program installs the desktop's own: no type has a default application.
class NoDocumentApplications : public DocumentApplications {
public:
    std::optional<std::filesystem::path> defaultApplication(std::string_view) override { return std::nullopt; }
};

} // namespace

std::shared_ptr<DocumentApplications> DocumentApplications::current()
{
    return installedImplementation<DocumentApplications, NoDocumentApplications>().current();
}

void DocumentApplications::install(std::shared_ptr<DocumentApplications> implementation)
{
    installedImplementation<DocumentApplications, NoDocumentApplications>().install(std::move(implementation));
}

} // namespace qm
