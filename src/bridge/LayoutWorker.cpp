#include "bridge/LayoutWorker.h"

#include <array>
#include <filesystem>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "bridge/LayoutConnection.h"
#include "bridge/LayoutScriptClient.h"
#include "foundation/Log.h"

namespace qm {

namespace fs = std::filesystem;

namespace {

constexpr auto LookInterval = std::chrono::milliseconds(500);
constexpr auto ConnectedCheckInterval = std::chrono::milliseconds(1000);
constexpr std::uint32_t WatchedEvents = IN_CREATE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

} // namespace

LayoutWorker::LayoutWorker(std::shared_ptr<LayoutConnection> connection, Job found)
    : mConnection(std::move(connection)), mFound(std::move(found)),
      mWake(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), mWatch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
      mThread([this] { run(); })
{
}

LayoutWorker::~LayoutWorker()
{
    {
        std::lock_guard lock(mMutex);
        mStopping = true;
        mJobs.clear();
    }
    mConnection->interrupt();
    wake();
    mThread.join();
    ::close(mWake);
    ::close(mWatch);
}

void LayoutWorker::post(Job job)
{
    {
        std::lock_guard lock(mMutex);
        mJobs.push_back(std::move(job));
    }
    wake();
}

void LayoutWorker::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(mWake, &one, sizeof one);
}

void LayoutWorker::lookNow()
{
    post([](LayoutConnection&) {});
}

void LayoutWorker::addIdleTask(std::function<bool()> task)
{
    {
        std::lock_guard lock(mMutex);
        mIdleTasks.push_back(std::move(task));
    }
    lookNow();
}

void LayoutWorker::run()
{
    watchSocketFolder();
    while (true) {
        Job job = nextJob();
        {
            std::lock_guard lock(mMutex);
            if (mStopping)
                return;
        }
        if (job) {
            job(*mConnection);
            continue;
        }
        look();
        waitForWork(mConnection->reach() == LayoutConnection::Reach::Answering ? ConnectedCheckInterval : LookInterval);
    }
}

LayoutWorker::Job LayoutWorker::nextJob()
{
    std::lock_guard lock(mMutex);
    if (mJobs.empty() || mStopping)
        return {};
    Job job = std::move(mJobs.front());
    mJobs.pop_front();
    return job;
}

void LayoutWorker::look()
{
    if (!mWatchesSocketFolder)
        watchSocketFolder();
    if (mConnection->connectIfFound() && mFound)
        mFound(*mConnection);
    std::vector<std::function<bool()>> tasks;
    {
        std::lock_guard lock(mMutex);
        tasks.swap(mIdleTasks);
    }
    std::erase_if(tasks, [](const auto& task) { return task(); });
    std::lock_guard lock(mMutex);
    mIdleTasks.insert(mIdleTasks.end(), tasks.begin(), tasks.end());
}

void LayoutWorker::waitForWork(std::chrono::milliseconds timeout)
{
    std::array<pollfd, 2> watched{{{mWake, POLLIN, 0}, {mWatch, POLLIN, 0}}};
    if (::poll(watched.data(), watched.size(), static_cast<int>(timeout.count())) <= 0)
        return;
    std::uint64_t count = 0;
    if (watched[0].revents & POLLIN)
        [[maybe_unused]] const auto read = ::read(mWake, &count, sizeof count);
    if (watched[1].revents & POLLIN)
        drainWatch();
}

// The socket folder is made by the first layout script that starts: until then its parent is
// watched, and the folder itself once it is there.
void LayoutWorker::watchSocketFolder()
{
    if (mWatch < 0)
        return;
    if (mWatched >= 0)
        ::inotify_rm_watch(mWatch, mWatched);
    const fs::path folder = LayoutScriptClient::socketFolder();
    mWatched = ::inotify_add_watch(mWatch, folder.c_str(), WatchedEvents);
    mWatchesSocketFolder = mWatched >= 0;
    if (!mWatchesSocketFolder)
        mWatched = ::inotify_add_watch(mWatch, folder.parent_path().c_str(), IN_CREATE | IN_MOVED_TO);
}

void LayoutWorker::drainWatch()
{
    alignas(inotify_event) std::array<char, 4096> events{};
    bool folderGone = false;
    ssize_t length = 0;
    while ((length = ::read(mWatch, events.data(), events.size())) > 0)
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events.data() + at);
            folderGone = folderGone || (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    if (folderGone || !mWatchesSocketFolder)
        watchSocketFolder();
}

} // namespace qm
