#pragma once

#include <mutex>
#include <vector>

#include "platform/ProcessList.h"

namespace qm {

// Answers the processes a test sets, in the order it sets them. Safe to use from any thread.
class FakeProcessList : public ProcessList {
public:
    void setProcesses(std::vector<RunningApplication> processes);
    std::vector<RunningApplication> runningProcesses() override;

private:
    std::mutex mMutex;
    std::vector<RunningApplication> mProcesses;
};

} // namespace qm
