#include <gtest/gtest.h>

#include "app/LayoutApplications.h"
#include "platform/fake/FakeWorkspace.h"

namespace qm {
namespace {

TEST(LayoutApplications, AreTheScribusProgramsThatOpenLayoutDocuments)
{
    auto workspace = std::make_shared<FakeWorkspace>();
    workspace->setApplications("sla", {"/usr/bin/vim", "/opt/scribus-ng/bin/scribus-ng", "/usr/bin/scribus"});
    workspace->setDisplayName("/usr/bin/scribus", "Scribus");
    workspace->setDisplayName("/opt/scribus-ng/bin/scribus-ng", "Scribus NG");
    Workspace::install(workspace);
    std::vector<std::string> paths;
    for (const auto& application : LayoutApplications::installed())
        paths.push_back(*application->path());
    Workspace::install(nullptr);
    EXPECT_EQ(paths, (std::vector<std::string>{"/usr/bin/scribus", "/opt/scribus-ng/bin/scribus-ng"}));
}

} // namespace
} // namespace qm
