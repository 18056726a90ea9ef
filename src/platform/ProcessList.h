#pragma once

#include <filesystem>
#include <memory>
#include <vector>

namespace qm {

struct RunningProcess {
    int pid = 0;
    std::filesystem::path executable; // absolute path of the program file
};

// The processes of this user that are running now.
class ProcessList {
public:
    virtual ~ProcessList() = default;
    // In ascending process id order; processes whose executable cannot be read are left out.
    virtual std::vector<RunningProcess> runningProcesses() = 0;

    // The installed one (/proc on Linux, until a program installs another).
    static std::shared_ptr<ProcessList> current();
    // Installing nothing restores the /proc one.
    static void install(std::shared_ptr<ProcessList> processList);
};

} // namespace qm
