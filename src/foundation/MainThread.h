#pragma once

#include <chrono>
#include <functional>

namespace qm {

// Runs work on the main thread. The program hands tasks to its event loop (setPoster); the
// command-line tool and tests use the built-in queue, which the main thread drains with
// runPendingTasks() or waitForTasks().
class MainThread {
public:
    using Task = std::function<void()>;
    using Poster = std::function<void(Task)>;

    // Makes the calling thread the main thread (the thread that loaded the program is it by default).
    static void adoptCurrentThread();
    static bool isMainThread();

    // Runs the task on the main thread; with `wait`, returns once it has run. Called on the main
    // thread itself, the task runs at once.
    static void perform(Task task, bool wait);

    // Hands tasks to an event loop instead of the built-in queue; an empty poster restores the queue.
    static void setPoster(Poster poster);

    // On the main thread: runs the queued tasks; returns how many ran.
    static int runPendingTasks();
    // On the main thread: waits up to `timeout` for at least one task, then runs what is queued.
    static int waitForTasks(std::chrono::milliseconds timeout);
};

} // namespace qm
