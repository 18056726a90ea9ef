#pragma once

#include <filesystem>

#include "platform/ProcessList.h"

namespace qm {

// Reads the running processes from /proc: every numeric folder whose "exe" link can be read,
// which the kernel allows for this user's own processes.
class ProcProcessList : public ProcessList {
public:
    explicit ProcProcessList(std::filesystem::path procFolder = "/proc") : mProcFolder(std::move(procFolder)) {}
    std::vector<RunningApplication> runningProcesses() override;

private:
    std::filesystem::path mProcFolder;
};

} // namespace qm
