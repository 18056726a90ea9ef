#include "platform/fake/FakeProcessList.h"

namespace qm {

void FakeProcessList::setProcesses(std::vector<RunningProcess> processes)
{
    std::lock_guard lock(mMutex);
    mProcesses = std::move(processes);
}

std::vector<RunningProcess> FakeProcessList::runningProcesses()
{
    std::lock_guard lock(mMutex);
    return mProcesses;
}

} // namespace qm
