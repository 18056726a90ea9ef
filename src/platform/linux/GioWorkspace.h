#pragma once

#include "platform/Workspace.h"

namespace qm {

// The desktop's applications and files through GIO: desktop entries and their MIME types, the
// user's default applications (mimeapps.list), and the file manager over D-Bus
// (org.freedesktop.FileManager1). Applications are named by their program files.
class GioWorkspace : public Workspace {
public:
    // Construct before anything else asks GIO about files or applications: where
    // XDG_DATA_DIRS names folders without a shared MIME database, the system's folders are added
    // after them (no file would have a type otherwise).
    GioWorkspace();

    std::optional<std::filesystem::path> applicationForFile(const std::filesystem::path& file) override;
    std::optional<std::filesystem::path> applicationForExtension(const std::string& extension) override;
    std::vector<std::filesystem::path> applicationsForFile(const std::filesystem::path& file) override;
    std::vector<std::filesystem::path> applicationsForExtension(const std::string& extension) override;
    bool openFile(const std::filesystem::path& file) override;
    bool openFile(const std::filesystem::path& file, const std::filesystem::path& application) override;
    bool revealFile(const std::filesystem::path& file) override;
    std::optional<std::string> displayName(const std::filesystem::path& application) override;
    std::optional<std::string> iconName(const std::filesystem::path& application) override;

    // The applications for a MIME type ("image/jpeg"), the default one first.
    std::vector<std::filesystem::path> applicationsForContentType(const std::string& contentType);
    // The file's MIME type from its content when it exists, else from its name.
    static std::string contentTypeOfFile(const std::filesystem::path& file);
    static std::string contentTypeOfExtension(const std::string& extension);
};

} // namespace qm
