#include "platform/AlertPresenter.h"

#include "platform/InstalledImplementation.h"

#include "foundation/Log.h"

namespace qm {

namespace {

// Stands in until a program installs its own: nothing is shown, every alert and error is logged
// and answered with the default button.
class LoggingAlertPresenter : public AlertPresenter {
public:
    void activateApplication() override {}

    AlertResponse runModal(const Alert& alert) override
    {
        Log::format("alert \"%s\": %s %s", alert.windowTitle.c_str(), alert.messageText.c_str(),
                    alert.informativeText.c_str());
        return {};
    }

    void presentError(const Error& error) override
    {
        Log::format("error %s %ld: %s %s", error.domain.c_str(), error.code, error.localizedDescription.c_str(),
                    error.localizedRecoverySuggestion.c_str());
    }
};
} // namespace

void AlertPresenter::show(const Alert& alert, Completion completion)
{
    const AlertResponse response = runModal(alert);
    if (completion)
        completion(response);
}

// A bare error (no description) is told by its domain and code.
Alert AlertPresenter::alertForError(const Error& error, const std::string& windowTitle)
{
    Alert alert;
    alert.windowTitle = windowTitle;
    alert.messageText = error.localizedDescription.empty()
                            ? "The operation couldn't be completed. (" + error.domain + " error " +
                                  std::to_string(error.code) + ".)"
                            : error.localizedDescription;
    alert.informativeText = error.localizedRecoverySuggestion;
    return alert;
}

std::shared_ptr<AlertPresenter> AlertPresenter::current()
{
    return installedImplementation<AlertPresenter, LoggingAlertPresenter>().current();
}

void AlertPresenter::install(std::shared_ptr<AlertPresenter> implementation)
{
    installedImplementation<AlertPresenter, LoggingAlertPresenter>().install(std::move(implementation));
}

} // namespace qm
