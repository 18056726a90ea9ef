#pragma once

#include <functional>
#include <memory>

namespace qm {

class LayoutConnection;
class LayoutWorker;

// Where the controller's calls to the layout application run: at once on the calling thread (the
// command-line tool and tests), or, once the program asks, on a worker thread of their own, so
// that the main thread never waits for the layout application. Results come back through onMain,
// which drops them once this object is gone.
class LayoutCalls {
public:
    using Job = std::function<void(LayoutConnection&)>;

    explicit LayoutCalls(std::shared_ptr<LayoutConnection> connection);
    ~LayoutCalls();
    LayoutCalls(const LayoutCalls&) = delete;
    LayoutCalls& operator=(const LayoutCalls&) = delete;

    // From now on jobs run on the worker, which looks for the layout application by itself and
    // runs `found` (on the worker) whenever it finds one.
    void runOnWorker(Job found);

    void run(Job job);
    // On the worker, whenever it looks for the layout application, until the task answers true;
    // without a worker, once at once.
    void runWhenIdle(std::function<bool()> task);
    // Look for the layout application now.
    void lookNow();
    // Runs the task on the main thread (at once when called there) unless this object is gone.
    void onMain(std::function<void()> task) const;

private:
    std::shared_ptr<LayoutConnection> mConnection;
    std::unique_ptr<LayoutWorker> mWorker;
    std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
};

} // namespace qm
