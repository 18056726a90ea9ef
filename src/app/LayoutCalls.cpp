#include "app/LayoutCalls.h"

#include "bridge/LayoutConnection.h"
#include "bridge/LayoutWorker.h"
#include "foundation/MainThread.h"

namespace qm {

LayoutCalls::LayoutCalls(std::shared_ptr<LayoutConnection> connection) : mConnection(std::move(connection)) {}

LayoutCalls::~LayoutCalls()
{
    mWorker.reset();
    mAlive.reset();
}

void LayoutCalls::runOnWorker(Job found)
{
    if (!mWorker)
        mWorker = std::make_unique<LayoutWorker>(mConnection, std::move(found));
}

void LayoutCalls::run(Job job)
{
    if (mWorker)
        mWorker->post(std::move(job));
    else
        job(*mConnection);
}

void LayoutCalls::runWhenIdle(std::function<bool()> task)
{
    if (mWorker)
        mWorker->addIdleTask(std::move(task));
    else
        task();
}

void LayoutCalls::lookNow()
{
    if (mWorker)
        mWorker->lookNow();
}

void LayoutCalls::onMain(std::function<void()> task) const
{
    MainThread::perform(
        [alive = std::weak_ptr<bool>(mAlive), task = std::move(task)] {
            if (alive.lock())
                task();
        },
        false);
}

} // namespace qm
