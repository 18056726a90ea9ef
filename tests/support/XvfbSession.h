#pragma once

#include <memory>
#include <string>

#include "ChildProcess.h"

namespace qm::test {

// An X server of the test's own (Xvfb on a free display number) with the openbox window
// manager, ready when constructed and gone when destroyed.
class XvfbSession {
public:
    XvfbSession();
    ~XvfbSession();

    // Empty when the session runs; otherwise why not (for GTEST_SKIP or a failure).
    const std::string& problem() const { return mProblem; }
    const std::string& display() const { return mDisplay; } // ":N"
    // Runs a command line (xdotool ...) on this display; its exit status.
    int run(const std::string& commandLine) const;
    // A command's standard output on this display, without the last line break.
    std::string output(const std::string& commandLine) const;

private:
    bool startServer();
    bool startWindowManager();

    std::string mProblem;
    std::string mDisplay;
    std::unique_ptr<ChildProcess> mServer;
    std::unique_ptr<ChildProcess> mWindowManager;
};

} // namespace qm::test
