#pragma once

#include <memory>
#include <vector>

#include "platform/FrontApplication.h"

namespace qm {

// The processes of this user that are running now.
class ProcessList {
public:
    virtual ~ProcessList() = default;
    // In ascending process id order; processes whose executable cannot be read are left out.
    virtual std::vector<RunningApplication> runningProcesses() = 0;
    // The process is stopped (SIGSTOP, a debugger): it will answer nothing until it goes on.
    virtual bool isStopped(int /*pid*/) { return false; }

    // The installed one (/proc on Linux, until a program installs another).
    static std::shared_ptr<ProcessList> current();
    // Installing nothing restores the /proc one.
    static void install(std::shared_ptr<ProcessList> processList);
};

} // namespace qm
