#pragma once

#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

namespace qm {

// An error answered by the layout script, or one the client reports for a call that got no answer.
struct LayoutScriptError {
    std::int32_t number = 0;
    std::string message;
    std::string brief;

    // {"number": …, "message": …, "brief": …}: the error as the log shows it.
    nlohmann::json toJson() const { return {{"number", number}, {"message", message}, {"brief", brief}}; }
};

// The outcome of one call of a layout script handler.
struct LayoutCallResult {
    enum class Outcome {
        Answered,      // the handler answered with a result (possibly null)
        ScriptError,   // the handler answered with an error (also "busy")
        NotConnected,  // no layout application listens on the socket, or it went away
        WrongProtocol, // the layout script speaks another protocol version
        TimedOut,      // no answer within the call's timeout
    };

    Outcome outcome = Outcome::NotConnected;
    nlohmann::json result; // null unless answered
    LayoutScriptError error; // set unless answered

    bool answered() const { return outcome == Outcome::Answered; }

    static LayoutCallResult answer(nlohmann::json result) { return {Outcome::Answered, std::move(result), {}}; }
    static LayoutCallResult failure(Outcome outcome, LayoutScriptError error)
    {
        return {outcome, nullptr, std::move(error)};
    }
};

} // namespace qm
