#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qm {

// Opening files the way the desktop does, and what it knows of the applications that open them.
class Workspace {
public:
    virtual ~Workspace() = default;
    // The program file of the application that opens the file by default; none when no
    // application is known for its type.
    virtual std::optional<std::filesystem::path> applicationForFile(const std::filesystem::path& file) = 0;
    // The program file of the default application for documents with the extension ("sla"); no file
    // is needed.
    virtual std::optional<std::filesystem::path> applicationForExtension(const std::string& extension) = 0;
    // Opens the file with its default application; false when nothing could be started.
    virtual bool openFile(const std::filesystem::path& file) = 0;
    // The icon theme name of an application's icon; none when it has none.
    virtual std::optional<std::string> iconName(const std::filesystem::path& application) = 0;
    // The program files of the applications that can edit files like this one, by its type;
    // empty when none is known.
    virtual std::vector<std::filesystem::path> applicationsForFile(const std::filesystem::path&) { return {}; }
    // Opens the file with that application; false when nothing could be started.
    virtual bool openFileWithApplication(const std::filesystem::path&, const std::filesystem::path&) { return false; }
    // Shows the file or folder in the file manager; false when nothing could be shown.
    virtual bool revealFile(const std::filesystem::path&) { return false; }
    // The application's name as menus show it; none when unknown.
    virtual std::optional<std::string> displayName(const std::filesystem::path&) { return std::nullopt; }

    // The installed one (one that knows no application and opens nothing, until a program
    // installs its own).
    static std::shared_ptr<Workspace> current();
    static void install(std::shared_ptr<Workspace> workspace);
};

} // namespace qm
