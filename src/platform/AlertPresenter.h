#pragma once

#include <functional>
#include <memory>
#include <optional>
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

// The platform's alerts: alerts that wait for an answer, alerts shown without waiting, and the
// application's standard error presentation.
class AlertPresenter {
public:
    using Completion = std::function<void(const AlertResponse&)>;

    virtual ~AlertPresenter() = default;
    virtual void activateApplication() = 0;                 // bring this application to the front
    virtual AlertResponse runModal(const Alert& alert) = 0; // on the main thread; returns when dismissed
    virtual void presentError(const Error& error) = 0;      // on the main thread

    // On the main thread: shows the alert and returns at once; `completion` (may be empty) is told
    // the answer when it is dismissed. One alert is up at a time: an equal one already up is brought
    // forward, another gives way to this one. Presenters without windows answer at once (runModal).
    virtual void show(const Alert& alert, Completion completion);
    // The alert that is up now, if any.
    virtual std::optional<Alert> shownAlert() const { return std::nullopt; }
    // The alert of an error: its description, recovery suggestion and one button.
    static Alert alertForError(const Error& error, const std::string& windowTitle);

    // The installed one (a silent one that logs, until a program installs its own).
    static std::shared_ptr<AlertPresenter> current();
    // Installing nothing restores the silent one.
    static void install(std::shared_ptr<AlertPresenter> presenter);
};

} // namespace qm
