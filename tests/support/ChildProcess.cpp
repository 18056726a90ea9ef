#include "ChildProcess.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <thread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qm::test {

namespace {

std::vector<std::string> environmentWith(const std::vector<std::string>& additions)
{
    std::vector<std::string> environment(additions);
    for (char** entry = environ; *entry; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('=') + 1);
        bool replaced = false;
        for (const auto& addition : additions)
            replaced = replaced || addition.rfind(name, 0) == 0;
        if (!replaced)
            environment.push_back(variable);
    }
    return environment;
}

std::vector<char*> pointers(std::vector<std::string>& strings)
{
    std::vector<char*> result;
    for (auto& string : strings)
        result.push_back(string.data());
    result.push_back(nullptr);
    return result;
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const Options& options)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, options.standardOutput.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, options.standardError.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> argumentCopy(arguments);
    std::vector<std::string> environment = environmentWith(options.environment);
    auto argv = pointers(argumentCopy);
    auto envp = pointers(environment);
    if (posix_spawnp(&mPid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        mPid = -1;
    posix_spawn_file_actions_destroy(&actions);
}

ChildProcess::~ChildProcess()
{
    if (started() && !mEnded) {
        signal(SIGTERM);
        wait();
    }
}

void ChildProcess::signal(int number) const
{
    if (started())
        ::kill(mPid, number);
}

int ChildProcess::wait()
{
    int status = 0;
    if (!started() || ::waitpid(mPid, &status, 0) != mPid)
        return -1;
    mEnded = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool isInstalled(const std::string& program)
{
    std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');)
        if (::access((folder + "/" + program).c_str(), X_OK) == 0)
            return true;
    return false;
}

} // namespace qm::test
