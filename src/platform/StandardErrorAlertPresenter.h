#pragma once

#include <iostream>
#include <mutex>

#include "platform/AlertPresenter.h"

namespace qm {

// The command-line tool's alerts: each alert or error is written to a stream (standard error) as
// one block of text, and every alert is answered with its default button.
class StandardErrorAlertPresenter : public AlertPresenter {
public:
    explicit StandardErrorAlertPresenter(std::ostream& stream = std::cerr) : mStream(stream) {}

    void activateApplication() override {}
    // "<window title>: <message>", then the informative text on a line of its own when there is one.
    AlertResponse runModal(const Alert& alert) override;
    // "Error: <description>", then the recovery suggestion; "Error <code> (<domain>)" without a description.
    void presentError(const Error& error) override;

private:
    void writeBlock(const std::string& headline, const std::string& detail);

    std::mutex mMutex;
    std::ostream& mStream;
};

} // namespace qm
