#include "platform/fake/FakeAlertPresenter.h"

#include <algorithm>

#include "foundation/MainThread.h"

namespace qm {

void FakeAlertPresenter::setResponse(AlertResponse response)
{
    std::lock_guard lock(mMutex);
    mResponse = response;
}

void FakeAlertPresenter::activateApplication()
{
    std::lock_guard lock(mMutex);
    mCalls.push_back(Call::Activate);
}

AlertResponse FakeAlertPresenter::runModal(const Alert& alert)
{
    const bool onMainThread = MainThread::isMainThread();
    std::lock_guard lock(mMutex);
    mCalls.push_back(Call::RunModal);
    mAlerts.push_back({alert, onMainThread});
    return mResponse;
}

void FakeAlertPresenter::presentError(const Error& error)
{
    const bool onMainThread = MainThread::isMainThread();
    std::lock_guard lock(mMutex);
    mCalls.push_back(Call::PresentError);
    mErrors.push_back({error, onMainThread});
}

std::vector<FakeAlertPresenter::ShownAlert> FakeAlertPresenter::alerts() const
{
    std::lock_guard lock(mMutex);
    return mAlerts;
}

std::vector<FakeAlertPresenter::PresentedError> FakeAlertPresenter::errors() const
{
    std::lock_guard lock(mMutex);
    return mErrors;
}

std::vector<FakeAlertPresenter::Call> FakeAlertPresenter::calls() const
{
    std::lock_guard lock(mMutex);
    return mCalls;
}

int FakeAlertPresenter::activations() const
{
    std::lock_guard lock(mMutex);
    return static_cast<int>(std::count(mCalls.begin(), mCalls.end(), Call::Activate));
}

} // namespace qm
