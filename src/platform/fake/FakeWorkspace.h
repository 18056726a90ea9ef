#pragma once

#include <map>
#include <utility>
#include <vector>

#include "platform/Workspace.h"

namespace qm {

// Applications by file extension ("jpg"), the default one first, and every file opened or
// revealed, as the test sets and reads them.
class FakeWorkspace : public Workspace {
public:
    void setApplication(const std::string& extension, std::filesystem::path application)
    {
        mApplications[extension] = {std::move(application)};
    }
    void setApplications(const std::string& extension, std::vector<std::filesystem::path> applications)
    {
        mApplications[extension] = std::move(applications);
    }
    std::optional<std::filesystem::path> applicationForFile(const std::filesystem::path& file) override
    {
        return applicationForExtension(extensionOf(file));
    }
    std::optional<std::filesystem::path> applicationForExtension(const std::string& extension) override
    {
        const auto applications = applicationsForExtension(extension);
        return applications.empty() ? std::nullopt : std::optional(applications.front());
    }
    std::vector<std::filesystem::path> applicationsForFile(const std::filesystem::path& file) override
    {
        return applicationsForExtension(extensionOf(file));
    }
    std::vector<std::filesystem::path> applicationsForExtension(const std::string& extension) override
    {
        const auto found = mApplications.find(extension);
        return found == mApplications.end() ? std::vector<std::filesystem::path>{} : found->second;
    }
    bool openFile(const std::filesystem::path& file) override
    {
        mOpened.push_back(file);
        return applicationForFile(file).has_value();
    }
    bool openFile(const std::filesystem::path& file, const std::filesystem::path& application) override
    {
        mOpenedWith.emplace_back(file, application);
        return true;
    }
    bool revealFile(const std::filesystem::path& file) override
    {
        mRevealed.push_back(file);
        return true;
    }
    void setDisplayName(const std::filesystem::path& application, std::string name) { mDisplayNames[application] = std::move(name); }
    std::optional<std::string> displayName(const std::filesystem::path& application) override
    {
        const auto found = mDisplayNames.find(application);
        return found == mDisplayNames.end() ? std::nullopt : std::optional(found->second);
    }
    std::optional<std::string> iconName(const std::filesystem::path& application) override
    {
        return application.filename().string();
    }
    const std::vector<std::filesystem::path>& opened() const { return mOpened; }
    const std::vector<std::pair<std::filesystem::path, std::filesystem::path>>& openedWith() const { return mOpenedWith; }
    const std::vector<std::filesystem::path>& revealed() const { return mRevealed; }

private:
    static std::string extensionOf(const std::filesystem::path& file)
    {
        return file.extension().string().substr(file.has_extension() ? 1 : 0);
    }

    std::map<std::string, std::vector<std::filesystem::path>> mApplications;
    std::map<std::filesystem::path, std::string> mDisplayNames;
    std::vector<std::filesystem::path> mOpened;
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> mOpenedWith;
    std::vector<std::filesystem::path> mRevealed;
};

} // namespace qm
