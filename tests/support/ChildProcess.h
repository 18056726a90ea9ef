#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace qm::test {

// Waits until the condition holds, checking it every few milliseconds; false when the time ran out.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// A program started for a test, stopped (SIGTERM) when it goes if it still runs.
class ChildProcess {
public:
    struct Options {
        std::vector<std::string> environment; // NAME=VALUE added to this process's environment
        std::filesystem::path standardOutput = "/dev/null";
        std::filesystem::path standardError = "/dev/null";
    };

    ChildProcess(const std::vector<std::string>& arguments, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return mPid > 0; }
    pid_t pid() const { return mPid; }
    void signal(int number) const;
    // The exit status, or -1 when a signal ended it; waits for the end.
    int wait();

private:
    pid_t mPid = -1;
    bool mEnded = false;
};

// Whether the program can be found in $PATH.
bool isInstalled(const std::string& program);

} // namespace qm::test
