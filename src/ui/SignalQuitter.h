#pragma once

#include <memory>

#include <QObject>
#include <QSocketNotifier>

namespace qm {

// Ends the event loop the ordinary way (so shutdown runs) when the process receives SIGTERM,
// SIGINT or SIGHUP, as at the end of a session. One per process.
class SignalQuitter {
public:
    SignalQuitter();
    ~SignalQuitter();
    SignalQuitter(const SignalQuitter&) = delete;
    SignalQuitter& operator=(const SignalQuitter&) = delete;

private:
    std::unique_ptr<QSocketNotifier> mNotifier;
};

} // namespace qm
