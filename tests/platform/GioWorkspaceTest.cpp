#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/linux/GioWorkspace.h"
#include "support/ChildProcess.h"
#include "support/DesktopEntries.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

// Desktop entries, programs and default applications of the suite's own, set before GIO first
// reads them: a viewer and an editor of JPEG images (the editor the user's default) and a file
// manager that opens folders. Each program writes the file it was given to "<name>.opened".
class GioWorkspaceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        fs::remove_all(folder());
        const test::DesktopEntries entries(folder() / "data");
        entries.add("qm-viewer", "Test Viewer", "image/jpeg;");
        entries.add("qm-editor", "Test Editor", "image/jpeg;");
        entries.add("qm-files", "Test Files", "inode/directory;");
        entries.addProgram("loose programs/qm-loose");
        test::DesktopEntries::setDefaults(folder() / "config",
                                          "image/jpeg=qm-editor.desktop\ninode/directory=qm-files.desktop\n");
        ::setenv("XDG_DATA_HOME", (folder() / "data").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", test::DesktopEntries::mimeDatabaseOnly(folder() / "system").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (folder() / "config").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (folder() / "config").c_str(), 1);
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1); // no file manager answers
        std::ofstream(folder() / "photo.jpg") << "\xFF\xD8\xFF\xE0";
    }
    static void TearDownTestSuite() { fs::remove_all(folder()); }

    static fs::path folder() { return fs::temp_directory_path() / ("quillmark-gio-" + std::to_string(::getpid())); }
    static fs::path program(const std::string& name) { return test::DesktopEntries(folder() / "data").program(name); }

    // What the program was given, once it has run.
    static std::string openedBy(const std::string& name)
    {
        const fs::path opened = program(name).string() + ".opened";
        if (!test::waitUntil([&] { return fs::exists(opened); }))
            return "(never ran)";
        std::ifstream in(opened);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    GioWorkspace mWorkspace;
};

TEST_F(GioWorkspaceTest, ListsTheApplicationsOfAFileOrExtensionWithTheDefaultFirst)
{
    for (const auto& applications :
         {mWorkspace.applicationsForFile(folder() / "photo.jpg"), mWorkspace.applicationsForExtension("jpg")}) {
        ASSERT_GE(applications.size(), 2u);
        EXPECT_EQ(applications.front(), program("qm-editor"));
        EXPECT_NE(std::find(applications.begin(), applications.end(), program("qm-viewer")), applications.end());
    }
    EXPECT_EQ(mWorkspace.applicationForExtension("jpg"), program("qm-editor"));
}

TEST_F(GioWorkspaceTest, NamesAnApplicationAndItsIconByItsDesktopEntry)
{
    EXPECT_EQ(mWorkspace.displayName(program("qm-viewer")), "Test Viewer");
    EXPECT_EQ(mWorkspace.iconName(program("qm-viewer")), "qm-viewer-icon");
    EXPECT_EQ(mWorkspace.displayName("/nonexistent/program"), std::nullopt);
}

// A chosen program may have no desktop entry, and a space in its path.
TEST_F(GioWorkspaceTest, OpensAFileWithItsDefaultApplicationOrAChosenOne)
{
    const fs::path photo = folder() / "photo.jpg";
    ASSERT_TRUE(mWorkspace.openFile(photo));
    EXPECT_EQ(openedBy("qm-editor"), photo.string());
    for (const char* chosen : {"qm-viewer", "loose programs/qm-loose"}) {
        ASSERT_TRUE(mWorkspace.openFile(photo, program(chosen))) << chosen;
        EXPECT_EQ(openedBy(chosen), photo.string()) << chosen;
    }
}

TEST_F(GioWorkspaceTest, RevealingWithoutAFileManagerServiceOpensTheFolder)
{
    ASSERT_TRUE(mWorkspace.revealFile(folder() / "photo.jpg"));
    EXPECT_EQ(openedBy("qm-files"), folder().string());
}

} // namespace
} // namespace qm
