#include "platform/StandardErrorAlertPresenter.h"

namespace qm {

AlertResponse StandardErrorAlertPresenter::runModal(const Alert& alert)
{
    writeBlock(alert.windowTitle.empty() ? alert.messageText : alert.windowTitle + ": " + alert.messageText,
               alert.informativeText);
    return {};
}

void StandardErrorAlertPresenter::presentError(const Error& error)
{
    const std::string headline = error.localizedDescription.empty()
                                     ? "Error " + std::to_string(error.code) + " (" + error.domain + ")"
                                     : "Error: " + error.localizedDescription;
    writeBlock(headline, error.localizedRecoverySuggestion);
}

void StandardErrorAlertPresenter::writeBlock(const std::string& headline, const std::string& detail)
{
    std::lock_guard lock(mMutex);
    mStream << headline << '\n';
    if (!detail.empty())
        mStream << detail << '\n';
    mStream.flush();
}

} // namespace qm
