#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

namespace qm {

// The desktop's choice of applications for document types (MIME types such as "application/vnd.scribus").
class DocumentApplications {
public:
    virtual ~DocumentApplications() = default;
    // The program file of the default application for the type, or nothing when there is none.
    virtual std::optional<std::filesystem::path> defaultApplication(std::string_view documentType) = 0;

    // The installed one (one that knows no application, until a program installs another).
    static std::shared_ptr<DocumentApplications> current();
    // Installing nothing restores the one that knows no application.
    static void install(std::shared_ptr<DocumentApplications> applications);
};

} // namespace qm
