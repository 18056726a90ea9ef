#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "BridgeTestSupport.h"
#include "bridge/LayoutScriptClient.h"
#include "bridge/RuntimeFolder.h"
#include "bridge/UnixSocket.h"
#include "foundation/Log.h"

namespace qm::test {
namespace {

namespace fs = std::filesystem;

mode_t modeOf(const fs::path& path)
{
    struct stat status {};
    ::lstat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// Without XDG_RUNTIME_DIR the sockets' folder lies in the shared temporary folder, where another
// user may have made it first: it is used only when it is this user's own private folder, and a
// folder found there is never changed.
TEST(RuntimeFolderTest, TheFallbackFolderIsUsedOnlyWhenItIsTheUsersPrivateFolder)
{
    struct Case {
        const char* name;
        std::function<void(const fs::path& folder, const fs::path& shared)> prepare;
        bool used;
        const char* reason;
    };
    const auto makeWithMode = [](mode_t mode, uid_t owner = ::getuid()) {
        return [=](const fs::path& folder, const fs::path&) {
            fs::create_directory(folder);
            ASSERT_EQ(::chmod(folder.c_str(), mode) + ::chown(folder.c_str(), owner, ::getgid()), 0);
        };
    };
    const Case cases[] = {
        {"missing: made with mode 0700", [](const fs::path&, const fs::path&) {}, true, ""},
        {"the user's own 0700 folder", makeWithMode(0700), true, ""},
        {"open to every user", makeWithMode(0777), false, "its mode is 0777"},
        {"a symbolic link to a shared folder",
         [](const fs::path& folder, const fs::path& shared) { fs::create_directory_symlink(shared, folder); }, false,
         "symbolic link"},
        {"another user's 0700 folder", makeWithMode(0700, 4242), false, "belongs to another user"},
    };
    for (const auto& testCase : cases) {
        if (std::string(testCase.reason) == "belongs to another user" && ::getuid() != 0)
            continue; // only root can give a folder to another user
        TemporaryFolder temporary(std::string("runtime-folder-") + std::to_string(&testCase - cases));
        const fs::path shared = temporary.path() / "shared";
        fs::create_directory(shared);
        ::chmod(shared.c_str(), 02775);
        ScopedEnvironment noRuntime("XDG_RUNTIME_DIR", std::nullopt), tmp("TMPDIR", temporary.path().string());
        const fs::path folder = temporary.path() / ("quillmark-" + std::to_string(::getuid()));
        testCase.prepare(folder, shared);
        const mode_t before = modeOf(folder);
        std::vector<std::string> log;
        const auto previous = Log::setSink([&](const std::string& line) { log.push_back(line); });

        const fs::path used = LayoutScriptClient::socketFolder();

        Log::setSink(previous);
        EXPECT_EQ(used, testCase.used ? folder : RuntimeFolder::Refused) << testCase.name;
        EXPECT_EQ(modeOf(shared), mode_t(02775)) << testCase.name << ": the shared folder is unchanged";
        if (testCase.used) {
            EXPECT_EQ(modeOf(folder), mode_t(0700)) << testCase.name;
            EXPECT_TRUE(log.empty()) << testCase.name;
            continue;
        }
        EXPECT_EQ(modeOf(folder), before) << testCase.name << ": a folder found there is not changed";
        ASSERT_FALSE(log.empty()) << testCase.name;
        EXPECT_NE(log.front().find(testCase.reason), std::string::npos) << testCase.name << ": " << log.front();
        EXPECT_LT(UnixSocket::connectTo(LayoutScriptClient::socketPathForProcess(1)), 0) << testCase.name;
    }
}

} // namespace
} // namespace qm::test
