#pragma once

#include <vector>

#include "platform/FrontApplication.h"

namespace qm {

// The front application is what the test says; switchTo() tells the handler as the desktop would.
class FakeFrontApplication : public FrontApplication {
public:
    std::optional<RunningApplication> frontApplication() override { return mFront; }
    void setSwitchHandler(SwitchHandler handler) override { mHandler = std::move(handler); }
    void activate(int pid) override { mActivated.push_back(pid); }

    void switchTo(const RunningApplication& application)
    {
        mFront = application;
        if (mHandler)
            mHandler(application);
    }
    const std::vector<int>& activated() const { return mActivated; }

private:
    std::optional<RunningApplication> mFront;
    SwitchHandler mHandler;
    std::vector<int> mActivated;
};

} // namespace qm
