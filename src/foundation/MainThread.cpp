#include "foundation/MainThread.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace qm {

namespace {

struct State {
    std::mutex mutex;
    std::condition_variable queued;
    std::deque<MainThread::Task> tasks;
    MainThread::Poster poster;
    std::thread::id mainThread = std::this_thread::get_id();
};

State& state()
{
    static State instance;
    return instance;
}

// The thread that loads the library (the process's first) is the main thread, decided before any
// other thread can ask; a thread that asked first must never become it.
[[maybe_unused]] const bool mainThreadIsKnown = (state(), true);

void post(MainThread::Task task)
{
    auto& s = state();
    std::unique_lock lock(s.mutex);
    if (s.poster) {
        auto poster = s.poster;
        lock.unlock();
        poster(std::move(task));
        return;
    }
    s.tasks.push_back(std::move(task));
    s.queued.notify_all();
}

} // namespace

void MainThread::adoptCurrentThread()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.mainThread = std::this_thread::get_id();
}

bool MainThread::isMainThread()
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    return s.mainThread == std::this_thread::get_id();
}

void MainThread::perform(Task task, bool wait)
{
    if (isMainThread()) {
        task();
        return;
    }
    if (!wait) {
        post(std::move(task));
        return;
    }
    auto done = std::make_shared<std::promise<void>>();
    auto finished = done->get_future();
    post([task = std::move(task), done] {
        task();
        done->set_value();
    });
    finished.wait();
}

void MainThread::setPoster(Poster poster)
{
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.poster = std::move(poster);
}

int MainThread::runPendingTasks()
{
    auto& s = state();
    std::deque<Task> tasks;
    {
        std::lock_guard lock(s.mutex);
        tasks.swap(s.tasks);
    }
    for (auto& task : tasks)
        task();
    return static_cast<int>(tasks.size());
}

int MainThread::waitForTasks(std::chrono::milliseconds timeout)
{
    auto& s = state();
    {
        std::unique_lock lock(s.mutex);
        s.queued.wait_for(lock, timeout, [&] { return !s.tasks.empty(); });
    }
    return runPendingTasks();
}

} // namespace qm
