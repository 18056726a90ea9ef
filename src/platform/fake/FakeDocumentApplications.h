#pragma once

#include <map>
#include <mutex>
#include <string>

#include "platform/DocumentApplications.h"

namespace qm {

// Answers the default applications a test sets per document type. Safe to use from any thread.
class FakeDocumentApplications : public DocumentApplications {
public:
    void setDefaultApplication(std::string documentType, std::filesystem::path application);
    std::optional<std::filesystem::path> defaultApplication(std::string_view documentType) override;

private:
    std::mutex mMutex;
    std::map<std::string, std::filesystem::path, std::less<>> mDefaults;
};

} // namespace qm
