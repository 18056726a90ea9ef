#include "platform/fake/FakeProcessList.h"

namespace qm {

void FakeProcessList::setProcesses(std::vector<RunningApplication> processes)
{
    std::lock_guard lock(mMutex);
    mProcesses = std::move(processes);
}

std::vector<RunningApplication> FakeProcessList::runningProcesses()
{
    std::lock_guard lock(mMutex);
    return mProcesses;
}

} // namespace qm
