#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/AlertPresenter.h"

namespace qm {

// Records every alert, presented error and activation, and answers alerts with a response that
// the test sets. Safe to call from any thread; each record notes whether it came on the main thread.
class FakeAlertPresenter : public AlertPresenter {
public:
    enum class Call { Activate, RunModal, PresentError };
    struct ShownAlert {
        Alert alert;
        bool onMainThread = false;
    };
    struct PresentedError {
        Error error;
        bool onMainThread = false;
    };

    void setResponse(AlertResponse response);

    void activateApplication() override;
    AlertResponse runModal(const Alert& alert) override;
    void presentError(const Error& error) override;

    std::vector<ShownAlert> alerts() const;
    std::vector<PresentedError> errors() const;
    std::vector<Call> calls() const; // in the order they came
    int activations() const;

private:
    mutable std::mutex mMutex;
    AlertResponse mResponse;
    std::vector<ShownAlert> mAlerts;
    std::vector<PresentedError> mErrors;
    std::vector<Call> mCalls;
};

} // namespace qm
