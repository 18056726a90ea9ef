#include <gtest/gtest.h>

#include "applications/applicationInstanceArrayController.h"
#include "applications/applicationInstancePathTransformer.h"
#include "platform/fake/FakeWorkspace.h"

namespace qm {
namespace {

// A workspace that knows three JPEG applications, two of them by name.
class applicationInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mWorkspace->setApplications("jpg", {"/opt/zed/zed", "/usr/bin/viewer", "/usr/bin/unnamed"});
        mWorkspace->setDisplayName("/opt/zed/zed", "Zed");
        mWorkspace->setDisplayName("/usr/bin/viewer", "Image Viewer");
        Workspace::install(mWorkspace);
    }
    void TearDown() override { Workspace::install(nullptr); }

    static std::vector<std::string> paths(const std::vector<applicationInstancePath::Pointer>& applications)
    {
        std::vector<std::string> result;
        for (const auto& application : applications)
            result.push_back(application->path().value_or("(none)"));
        return result;
    }

    std::shared_ptr<FakeWorkspace> mWorkspace = std::make_shared<FakeWorkspace>();
};

TEST_F(applicationInstanceTest, DescriptionIsTheDesktopsNameElseTheProgramsElseNotFound)
{
    const struct {
        std::optional<std::string> path;
        const char* description;
    } cases[] = {
        {"/usr/bin/viewer", "Image Viewer"},
        {"/bin/sh", "sh"},
        {"/nonexistent/program", "[Application not found]"},
        {std::nullopt, "[Application not found]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(applicationInstancePath(c.path).description(), c.description) << c.path.value_or("(none)");
}

TEST_F(applicationInstanceTest, ArchiveHoldsThePathAlone)
{
    for (const auto& path : {std::optional<std::string>("/usr/bin/viewer"), std::optional<std::string>()}) {
        const auto data = archivedData(applicationInstancePath(path));
        ASSERT_TRUE(data);
        const auto decoded = unarchiveObject<applicationInstancePath>(*data);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->path(), path);
    }
}

TEST_F(applicationInstanceTest, TransformersGiveThePathAndPassTheNullMarker)
{
    ArchiveWriter nullArchive;
    nullArchive.encode(ArchiveWriter::nullItem());
    const auto viewer = std::make_shared<applicationInstancePath>("/usr/bin/viewer");
    const struct {
        const char* name;
        std::shared_ptr<ValueTransformer> transformer;
        std::any value;
        std::optional<std::string> path; // none: the null marker
    } cases[] = {
        {"object", std::make_shared<applicationInstancePathTransformer>(), viewer, "/usr/bin/viewer"},
        {"null object", std::make_shared<applicationInstancePathTransformer>(), NullMarker{}, std::nullopt},
        {"data", std::make_shared<applicationInstancePathFromDataTransformer>(), *archivedData(*viewer), "/usr/bin/viewer"},
        {"null data", std::make_shared<applicationInstancePathFromDataTransformer>(), NullMarker{}, std::nullopt},
        {"data of null", std::make_shared<applicationInstancePathFromDataTransformer>(), *nullArchive.sequentialData(),
         std::nullopt},
    };
    for (const auto& c : cases) {
        const std::any result = c.transformer->transformedValue(c.value);
        if (c.path)
            EXPECT_EQ(std::any_cast<std::string>(result), *c.path) << c.name;
        else
            EXPECT_TRUE(std::any_cast<NullMarker>(&result)) << c.name;
    }
}

TEST_F(applicationInstanceTest, ControllerListsByDescriptionWhatItsDelegateKeeps)
{
    applicationInstanceArrayController controller;
    controller.setDelegate([](const applicationInstanceArrayController&, const std::string& path) {
        return path != "/usr/bin/unnamed";
    });
    EXPECT_FALSE(controller.didFindApps());
    controller.setFiletypeSuffix("jpg");
    EXPECT_EQ(paths(controller.arrangedObjects()), (std::vector<std::string>{"/usr/bin/viewer", "/opt/zed/zed"}));
    EXPECT_TRUE(controller.didFindApps());
    controller.setFiletypeSuffix("tif");
    EXPECT_TRUE(controller.arrangedObjects().empty());
    EXPECT_FALSE(controller.didFindApps());
}

TEST_F(applicationInstanceTest, SameSuffixLoadsOnceAndARoleAlwaysReloads)
{
    applicationInstanceArrayController controller;
    int loads = 0;
    controller.addObserver("arrangedObjects", [&](const std::string&, KeyValueObservable::Change change) {
        loads += change == KeyValueObservable::Change::Did;
    });
    controller.setFiletypeSuffix("jpg");
    controller.setFiletypeSuffix("jpg");
    EXPECT_EQ(loads, 1);
    controller.setAppRole(applicationInstanceArrayController::EditorRole);
    EXPECT_EQ(loads, 2);
}

} // namespace
} // namespace qm
