#pragma once

#include <map>
#include <vector>

#include "platform/Workspace.h"

namespace qm {

// Applications by file extension ("jpg"), and every file opened, as the test sets and reads them.
class FakeWorkspace : public Workspace {
public:
    void setApplication(const std::string& extension, std::filesystem::path application)
    {
        mApplications[extension] = std::move(application);
    }
    std::optional<std::filesystem::path> applicationForFile(const std::filesystem::path& file) override
    {
        return applicationForExtension(file.extension().string().substr(file.has_extension() ? 1 : 0));
    }
    std::optional<std::filesystem::path> applicationForExtension(const std::string& extension) override
    {
        const auto found = mApplications.find(extension);
        return found == mApplications.end() ? std::nullopt : std::optional(found->second);
    }
    bool openFile(const std::filesystem::path& file) override
    {
        mOpened.push_back(file);
        return applicationForFile(file).has_value();
    }
    std::optional<std::string> iconName(const std::filesystem::path& application) override
    {
        return application.filename().string();
    }
    const std::vector<std::filesystem::path>& opened() const { return mOpened; }

private:
    std::map<std::string, std::filesystem::path> mApplications;
    std::vector<std::filesystem::path> mOpened;
};

} // namespace qm
