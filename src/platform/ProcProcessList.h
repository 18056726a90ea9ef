#pragma once

#include <filesystem>
#include <optional>

#include "platform/ProcessList.h"

namespace qm {

// Reads the running processes from /proc: every numeric folder whose "exe" link can be read,
// which the kernel allows for this user's own processes.
class ProcProcessList : public ProcessList {
public:
    explicit ProcProcessList(std::filesystem::path procFolder = "/proc") : mProcFolder(std::move(procFolder)) {}
    std::vector<RunningApplication> runningProcesses() override;
    // The process with the id, when its executable can be read.
    std::optional<RunningApplication> process(int pid) const;
    bool isStopped(int pid) override;

private:
    std::filesystem::path mProcFolder;
};

} // namespace qm
