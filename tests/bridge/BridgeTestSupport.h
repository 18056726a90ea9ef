#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include <unistd.h>

#include "foundation/MainThread.h"

namespace qm::test {

// A folder of its own for each test, removed afterwards.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const std::string& name)
        : mPath(std::filesystem::temp_directory_path() / ("qm-" + name + "-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(mPath);
        std::filesystem::create_directories(mPath);
    }
    ~TemporaryFolder() { std::filesystem::remove_all(mPath); }
    const std::filesystem::path& path() const { return mPath; }

private:
    std::filesystem::path mPath;
};

// Sets an environment variable (or unsets it, given nothing) while it lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : mName(name)
    {
        if (const char* previous = std::getenv(name))
            mPrevious = previous;
        apply(value);
    }
    ~ScopedEnvironment() { apply(mPrevious); }

private:
    void apply(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(mName, value->c_str(), 1);
        else
            ::unsetenv(mName);
    }

    const char* mName;
    std::optional<std::string> mPrevious;
};

// Runs the main thread's queued tasks until the condition holds; the limit only keeps a broken
// test from hanging.
inline bool runMainThreadUntil(const std::function<bool()>& condition)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition() && std::chrono::steady_clock::now() < limit)
        MainThread::waitForTasks(std::chrono::milliseconds(50));
    return condition();
}

} // namespace qm::test
