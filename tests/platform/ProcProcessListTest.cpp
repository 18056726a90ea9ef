#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

#include "platform/ProcProcessList.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

TEST(ProcProcessListTest, ListsNumberedFoldersWithAReadableProgramLink)
{
    const fs::path proc = fs::temp_directory_path() / ("qm-proc-" + std::to_string(::getpid()));
    fs::remove_all(proc);
    struct Entry {
        const char* folder;
        const char* exe; // nothing: no link
    };
    const Entry entries[] = {{"30", "/usr/bin/scribus (deleted)"}, {"4", "/usr/bin/bash"}, {"self", "/usr/bin/bash"},
                             {"12", nullptr}, {"7x", "/usr/bin/x"}};
    for (const auto& entry : entries) {
        fs::create_directories(proc / entry.folder);
        if (entry.exe)
            fs::create_symlink(entry.exe, proc / entry.folder / "exe");
    }

    const auto processes = ProcProcessList(proc).runningProcesses();

    ASSERT_EQ(processes.size(), 2u);
    EXPECT_EQ(processes[0].pid, 4);
    EXPECT_EQ(processes[0].executablePath, "/usr/bin/bash");
    EXPECT_EQ(processes[1].pid, 30);
    EXPECT_EQ(processes[1].executablePath, "/usr/bin/scribus");
    fs::remove_all(proc);

    const auto live = ProcProcessList().runningProcesses();
    EXPECT_TRUE(std::any_of(live.begin(), live.end(), [](const RunningApplication& process) {
        return process.pid == ::getpid() && process.executablePath == fs::read_symlink("/proc/self/exe").string();
    }));
}

} // namespace
} // namespace qm
