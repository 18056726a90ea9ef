#pragma once

#include <optional>
#include <string>
#include <vector>

#include "bridge/LayoutConnection.h"
#include "platform/AlertPresenter.h"

namespace qm {

class textBlockSpec;

// What the text frame command makes of the layout application's state: the first problem that
// stops it, or the styles and fields that make the text look other than expected, as the
// messages of one alert.
class TextFrameChecks {
public:
    using Findings = LayoutConnection::State;
    struct Context {
        bool optionKeyDown = false;
        bool imageFileExists = false;
        bool alertMissingStyles = false;
        std::string applicationName; // the layout application's display name, for the messages
    };
    struct Outcome {
        std::vector<std::string> messages;
        bool fatal = false;
    };

    static Outcome check(const Findings& findings, const textBlockSpec& spec, const Context& context);
    // The message of a paragraph style the document lacks, alone; not fatal.
    static Outcome missingParagraphStyle(const std::string& style, const std::string& applicationName);
    // "The text can't be created." for a fatal outcome, else "The text may not look as expected.",
    // the messages joined by "\r" as they are, one button and the suppression box.
    static Alert alertFor(const Outcome& outcome);
};

} // namespace qm
