#include "Interruption.h"

#include <chrono>
#include <csignal>

#include "foundation/MainThread.h"

namespace qm::cli {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void interrupt(int)
{
    interrupted = 1;
}

} // namespace

void runTasksUntilInterrupted()
{
    std::signal(SIGINT, interrupt);
    std::signal(SIGTERM, interrupt);
    while (!interrupted)
        MainThread::waitForTasks(std::chrono::milliseconds(100));
}

} // namespace qm::cli
