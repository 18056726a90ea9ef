#include "platform/fake/FakeDocumentApplications.h"

namespace qm {

void FakeDocumentApplications::setDefaultApplication(std::string documentType, std::filesystem::path application)
{
    std::lock_guard lock(mMutex);
    mDefaults[std::move(documentType)] = std::move(application);
}

std::optional<std::filesystem::path> FakeDocumentApplications::defaultApplication(std::string_view documentType)
{
    std::lock_guard lock(mMutex);
    auto found = mDefaults.find(documentType);
    if (found == mDefaults.end())
        return std::nullopt;
    return found->second;
}

} // namespace qm
