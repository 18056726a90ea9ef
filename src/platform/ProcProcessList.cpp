#include "platform/ProcProcessList.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

namespace fs = std::filesystem;

namespace {

std::optional<int> processId(const std::string& folderName)
{
    int pid = 0;
    const char* end = folderName.data() + folderName.size();
    auto [stop, error] = std::from_chars(folderName.data(), end, pid);
    if (error != std::errc() || stop != end || pid <= 0)
        return std::nullopt;
    return pid;
}

// A program file replaced while it runs (a package upgrade) reads "<path> (deleted)".
std::string withoutDeletedMark(std::string executable)
{
    constexpr std::string_view mark = " (deleted)";
    if (executable.ends_with(mark))
        executable.erase(executable.size() - mark.size());
    return executable;
}

} // namespace

std::optional<RunningApplication> ProcProcessList::process(int pid) const
{
    std::error_code error;
    const fs::path executable = fs::read_symlink(mProcFolder / std::to_string(pid) / "exe", error);
    if (error)
        return std::nullopt;
    return RunningApplication{pid, withoutDeletedMark(executable.string())};
}

// The state letter follows the command name in parentheses, which may itself hold ") ".
bool ProcProcessList::isStopped(int pid)
{
    std::ifstream stat(mProcFolder / std::to_string(pid) / "stat");
    const std::string line((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto nameEnd = line.rfind(") ");
    if (nameEnd == std::string::npos || nameEnd + 2 >= line.size())
        return false;
    const char state = line[nameEnd + 2];
    return state == 'T' || state == 't';
}

std::vector<RunningApplication> ProcProcessList::runningProcesses()
{
    std::vector<RunningApplication> processes;
    std::error_code error;
    for (fs::directory_iterator entry(mProcFolder, error), end; !error && entry != end; entry.increment(error)) {
        const auto pid = processId(entry->path().filename().string());
        if (!pid)
            continue;
        if (auto running = process(*pid))
            processes.push_back(std::move(*running));
    }
    std::sort(processes.begin(), processes.end(),
              [](const RunningApplication& a, const RunningApplication& b) { return a.pid < b.pid; });
    return processes;
}

} // namespace qm
