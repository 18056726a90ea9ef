#pragma once

#include <functional>
#include <thread>
#include <vector>

namespace qm::test {

// Runs the same work on several threads at once and waits for all of them.
inline void runOnThreads(int threadCount, const std::function<void()>& work)
{
    std::vector<std::thread> threads;
    for (int index = 0; index < threadCount; ++index)
        threads.emplace_back(work);
    for (auto& thread : threads)
        thread.join();
}

} // namespace qm::test
