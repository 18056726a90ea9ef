#pragma once

#include <mutex>
#include <set>
#include <vector>

#include "platform/ProcessList.h"

namespace qm {

// Answers the processes a test sets, in the order it sets them. Safe to use from any thread.
class FakeProcessList : public ProcessList {
public:
    void setProcesses(std::vector<RunningApplication> processes);
    std::vector<RunningApplication> runningProcesses() override;
    void setStopped(int pid, bool stopped);
    bool isStopped(int pid) override;

private:
    std::mutex mMutex;
    std::vector<RunningApplication> mProcesses;
    std::set<int> mStopped;
};

} // namespace qm
