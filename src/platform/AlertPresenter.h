#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/Error.h"

namespace qm {

struct Alert {
    std::string windowTitle;
    std::string messageText;
    std::string informativeText;           // shown as it is, never interpreted as a format
    std::vector<std::string> buttonTitles; // empty: one default button ("OK")
    bool showsSuppressionButton = false;   // the "do not show this again" check box
};

struct AlertResponse {
    int buttonIndex = 0; // index into buttonTitles (0 = first/default)
    bool suppressionChecked = false;
};

// The platform's alerts: application-modal alerts and the application's standard error presentation.
class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    virtual void activateApplication() = 0;                 // bring this application to the front
    virtual AlertResponse runModal(const Alert& alert) = 0; // on the main thread; returns when dismissed
    virtual void presentError(const Error& error) = 0;      // on the main thread

    // The installed one (a silent one that logs, until a program installs its own).
    static std::shared_ptr<AlertPresenter> current();
    // Installing nothing restores the silent one.
    static void install(std::shared_ptr<AlertPresenter> presenter);
};

} // namespace qm
