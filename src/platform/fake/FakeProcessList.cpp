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

void FakeProcessList::setStopped(int pid, bool stopped)
{
    std::lock_guard lock(mMutex);
    if (stopped)
        mStopped.insert(pid);
    else
        mStopped.erase(pid);
}

bool FakeProcessList::isStopped(int pid)
{
    std::lock_guard lock(mMutex);
    return mStopped.contains(pid);
}

} // namespace qm
