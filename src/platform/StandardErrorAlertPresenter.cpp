#include "platform/StandardErrorAlertPresenter.h"

namespace qm {

namespace {

// Alert texts break lines with CR, which a terminal would use to overwrite the line.
std::string withTerminalLineBreaks(std::string text)
{
    for (std::size_t at = 0; (at = text.find('\r', at)) != std::string::npos;)
        text.replace(at, text[at + 1] == '\n' ? 2 : 1, "\n");
    return text;
}

} // namespace

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
    mStream << withTerminalLineBreaks(headline) << '\n';
    if (!detail.empty())
        mStream << withTerminalLineBreaks(detail) << '\n';
    mStream.flush();
}

} // namespace qm
