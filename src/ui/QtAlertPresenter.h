#pragma once

#include <QString>

#include "platform/AlertPresenter.h"

namespace qm {

// Alerts as Qt message boxes: the message, the informative text shown literally, the buttons
// in order (the first the default), the suppression check box and the window title.
class QtAlertPresenter : public AlertPresenter {
public:
    void activateApplication() override;
    AlertResponse runModal(const Alert& alert) override;
    void presentError(const Error& error) override;

    // The title of the suppression check box.
    static QString suppressionTitle();
};

} // namespace qm
