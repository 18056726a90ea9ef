#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qm {

class LayoutConnection;

// The one thread on which the program talks to the layout application, so that its main thread
// never waits for it. Jobs run in the order they come. Between jobs the worker looks for the
// layout application: at once when a socket appears in the layout script's folder (inotify), and
// every half second as a safety net; when it finds one it tells the found handler (on the worker),
// and when the connection ends it goes back to looking.
class LayoutWorker {
public:
    using Job = std::function<void(LayoutConnection&)>;

    LayoutWorker(std::shared_ptr<LayoutConnection> connection, Job found);
    // Ends a call in progress and waits for the thread; jobs not started are dropped.
    ~LayoutWorker();
    LayoutWorker(const LayoutWorker&) = delete;
    LayoutWorker& operator=(const LayoutWorker&) = delete;

    void post(Job job);
    // Look for the layout application now (it came to the front).
    void lookNow();
    // Runs the task on the worker whenever it looks for the layout application, until it answers true.
    void addIdleTask(std::function<bool()> task);

private:
    void run();
    Job nextJob();
    void look();
    void waitForWork(std::chrono::milliseconds timeout);
    void watchSocketFolder();
    void drainWatch();
    void wake();

    const std::shared_ptr<LayoutConnection> mConnection;
    const Job mFound;
    mutable std::mutex mMutex;
    std::deque<Job> mJobs;
    std::vector<std::function<bool()>> mIdleTasks;
    bool mStopping = false;
    int mWake = -1;    // eventfd: a job came, or the worker must stop
    int mWatch = -1;   // inotify descriptor
    int mWatched = -1; // its watch of the socket folder (or of the folder that will hold it)
    bool mWatchesSocketFolder = false;
    std::thread mThread; // last: starts once the members above exist
};

} // namespace qm
