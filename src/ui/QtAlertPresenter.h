#pragma once

#include <QPointer>
#include <QString>

#include "platform/AlertPresenter.h"

class QMessageBox;

namespace qm {

// Alerts as Qt message boxes: the message, the informative text shown literally, the buttons
// in order (the first the default), the suppression check box and the window title. Alerts shown
// without waiting are modal to nothing, so the panel stays usable, and one is up at a time; each
// takes the keyboard when it comes, also from another application in front.
class QtAlertPresenter : public AlertPresenter {
public:
    void activateApplication() override;
    AlertResponse runModal(const Alert& alert) override;
    void presentError(const Error& error) override;
    void show(const Alert& alert, Completion completion) override;
    std::optional<Alert> shownAlert() const override;

    // The title of the suppression check box.
    static QString suppressionTitle();

private:
    QPointer<QMessageBox> mShown;
    Alert mShownAlert;
};

} // namespace qm
